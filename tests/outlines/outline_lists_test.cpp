// BuildOutlineGlyphs in a real GLX context (run under a private Xvfb by
// run_outline_test.py): what each list draws, read back in feedback mode,
// where it leaves the pen, and what the build leaves alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "glx_test_context.h"
#include "platform/outlinefont.h"

namespace {

constexpr int kWidth = 400;
constexpr int kHeight = 300;
constexpr double kPixelsPerEm = 200.0;
constexpr int kListCount = 256;
// Window depths of z = 0 and z = -0.25 under glOrtho(..., -1, 1).
constexpr double kFrontDepth = 0.5;
constexpr double kBackDepth = 0.5 + 0.5 * kOutlineExtrusion;
constexpr double kDepthSlack = 1e-4;
const char* const kFace = "Liberation Sans";

GlxTestContext* context = nullptr;

struct FeedbackPolygon {
    std::vector<float> xyz;  // window x, y, depth per vertex
    std::vector<float> red;  // per vertex, with GL_3D_COLOR feedback only
    double WindowArea() const {
        double twice = 0.0;
        const size_t n = xyz.size() / 3;
        for (size_t i = 0; i < n; ++i) {
            const size_t j = (i + 1) % n;
            twice += xyz[3 * i] * xyz[3 * j + 1] - xyz[3 * j] * xyz[3 * i + 1];
        }
        return 0.5 * twice;
    }
    bool AllAtDepth(double depth) const {
        for (size_t i = 2; i < xyz.size(); i += 3) {
            if (std::fabs(xyz[i] - depth) > kDepthSlack) return false;
        }
        return true;
    }
};

struct Feedback {
    std::vector<FeedbackPolygon> polygons;
    std::vector<float> lineVertices;  // x, y, depth, two per line
    int otherTokens = 0;
};

// Calls one list in feedback mode and sorts out what it drew; with
// GL_3D_COLOR each vertex also brings its (lit) colour.
Feedback DrawInFeedback(unsigned list, GLenum type = GL_3D) {
    const int vertexSize = type == GL_3D_COLOR ? 7 : 3;
    std::vector<GLfloat> buffer(1 << 22);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const GLint used = glRenderMode(GL_RENDER);
    EXPECT_GE(used, 0) << "feedback buffer too small";
    Feedback result;
    for (GLint i = 0; i < used;) {
        const GLint token = static_cast<GLint>(buffer[i++]);
        if (token == GL_POLYGON_TOKEN) {
            const int count = static_cast<int>(buffer[i++]);
            FeedbackPolygon polygon;
            for (int v = 0; v < count; ++v, i += vertexSize) {
                polygon.xyz.insert(polygon.xyz.end(), buffer.begin() + i, buffer.begin() + i + 3);
                if (vertexSize == 7) polygon.red.push_back(buffer[i + 3]);
            }
            result.polygons.push_back(std::move(polygon));
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            for (int v = 0; v < 2; ++v, i += vertexSize) {
                result.lineVertices.insert(result.lineVertices.end(), buffer.begin() + i,
                                           buffer.begin() + i + 3);
            }
        } else {
            ++result.otherTokens;
            i += token == GL_PASS_THROUGH_TOKEN ? 1 : vertexSize;
        }
    }
    return result;
}

void SetUpView() {
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-0.25, kWidth / kPixelsPerEm - 0.25, -0.25, kHeight / kPixelsPerEm - 0.25, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

class OutlineLists : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        context = new GlxTestContext;
        if (!context->Open(kWidth, kHeight)) {
            delete context;
            context = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete context;
        context = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(context, nullptr) << "no GLX context (is DISPLAY an Xvfb of our own?)";
        base_ = glGenLists(kListCount);
        ASSERT_NE(base_, 0u);
        std::memset(metrics_, 0x7F, sizeof metrics_);  // not zero, not a number we write
        SetUpView();
    }
    void TearDown() override {
        if (base_ != 0) glDeleteLists(base_, kListCount);
    }

    // The build, and every code drawn once so that each list is compiled.
    void BuildEveryGlyph(bool wireframe) {
        BuildOutlineGlyphs(kFace, wireframe, base_, metrics_);
        char codes[kOutlineGlyphCount];
        for (int code = 0; code < kOutlineGlyphCount; ++code) codes[code] = static_cast<char>(code);
        PrepareOutlineGlyphs(codes, sizeof codes);
    }

    unsigned base_ = 0;
    GlyphMetrics metrics_[kListCount];
};

TEST_F(OutlineLists, solid_glyphs_face_the_viewer_counter_clockwise_and_end_at_their_advance) {
    BuildEveryGlyph(false);
    for (unsigned char code : {'0', '8', ':', 'O'}) {
        glLoadIdentity();
        const Feedback drawn = DrawInFeedback(base_ + code);
        EXPECT_TRUE(drawn.lineVertices.empty());
        double frontArea = 0.0, backArea = 0.0;
        int front = 0, back = 0;
        for (const auto& polygon : drawn.polygons) {
            if (polygon.AllAtDepth(kFrontDepth)) {
                ++front;
                frontArea += polygon.WindowArea();
                EXPECT_GE(polygon.WindowArea(), -1e-3) << code << ": a front triangle is clockwise";
            } else if (polygon.AllAtDepth(kBackDepth)) {
                ++back;
                backArea += polygon.WindowArea();
                EXPECT_LE(polygon.WindowArea(), 1e-3) << code << ": a back triangle faces forward";
            }
        }
        EXPECT_GT(front, 0) << code;
        EXPECT_EQ(front, back) << code;
        EXPECT_NEAR(frontArea, -backArea, 1e-3 * frontArea) << code;
        // The face covers part of, never more than, the black box.
        const double box =
            metrics_[code].blackBoxX * metrics_[code].blackBoxY * kPixelsPerEm * kPixelsPerEm;
        EXPECT_GT(frontArea, 0.1 * box) << code;
        EXPECT_LT(frontArea, box) << code;

        GLfloat matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], metrics_[code].cellIncX) << code;
        EXPECT_GT(matrix[12], 0.0f);
        EXPECT_EQ(matrix[13], 0.0f);
        EXPECT_EQ(matrix[14], 0.0f);
    }
}

// Lit by a light shining along the view, a polygon that turns its drawn
// front (counter-clockwise on the screen) to the viewer must catch the
// light, and one seen from behind must not: winding and normals agree for
// the faces and for every wall, from whichever side the glyph is seen.
TEST_F(OutlineLists, polygons_facing_the_viewer_are_lit_and_the_others_dark) {
    BuildEveryGlyph(false);
    const GLfloat alongTheView[4] = {0.0f, 0.0f, 1.0f, 0.0f};
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    const GLfloat black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_POSITION, alongTheView);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_AMBIENT, black);
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, black);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, black);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    const struct {
        float angle, x, y;
    } views[] = {{0, 1, 0},  {180, 0, 1}, {90, 1, 0}, {-90, 1, 0},
                 {90, 0, 1}, {-60, 0, 1}, {35, 1, 1}};
    for (unsigned char code : {'0', '8', 'O', '4', '&'}) {
        for (const auto& view : views) {
            glLoadIdentity();
            glTranslatef(0.5f, 0.5f, 0.0f);
            glRotatef(view.angle, view.x, view.y, 0.0f);
            glTranslatef(-0.3f, -0.35f, 0.1f);
            int lit = 0, dark = 0;
            for (const auto& polygon : DrawInFeedback(base_ + code, GL_3D_COLOR).polygons) {
                const double area = polygon.WindowArea();
                if (std::fabs(area) < 0.5) continue;  // edge-on
                for (float red : polygon.red) {
                    if (area > 0) {
                        EXPECT_GT(red, 0.0f) << code << " seen at " << view.angle << " deg";
                    } else {
                        EXPECT_EQ(red, 0.0f) << code << " seen at " << view.angle << " deg";
                    }
                }
                (area > 0 ? lit : dark)++;
            }
            EXPECT_GT(lit, 0) << code << " seen at " << view.angle << " deg";
            EXPECT_GT(dark, 0) << code << " seen at " << view.angle << " deg";
        }
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT0);
}

TEST_F(OutlineLists, codes_without_outlines_only_move_the_pen) {
    BuildEveryGlyph(false);
    for (unsigned char code : {' ', '\t', '\x81', '\0'}) {
        glLoadIdentity();
        const Feedback drawn = DrawInFeedback(base_ + code);
        EXPECT_TRUE(drawn.polygons.empty()) << int(code);
        EXPECT_TRUE(drawn.lineVertices.empty()) << int(code);
        GLfloat matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], metrics_[code].cellIncX) << int(code);
    }
    EXPECT_GT(metrics_[' '].cellIncX, 0.0f);
}

TEST_F(OutlineLists, wire_glyphs_are_lines_at_the_front_the_back_and_between) {
    BuildEveryGlyph(true);
    for (unsigned char code : {'0', '4', ':', '\x80'}) {
        glLoadIdentity();
        const Feedback drawn = DrawInFeedback(base_ + code);
        EXPECT_TRUE(drawn.polygons.empty()) << code;
        EXPECT_EQ(drawn.otherTokens, 0) << code;
        int frontLines = 0, backLines = 0, depthLines = 0;
        for (size_t i = 0; i + 5 < drawn.lineVertices.size(); i += 6) {
            const float z0 = drawn.lineVertices[i + 2], z1 = drawn.lineVertices[i + 5];
            const bool frontEnd0 = std::fabs(z0 - kFrontDepth) < kDepthSlack;
            const bool frontEnd1 = std::fabs(z1 - kFrontDepth) < kDepthSlack;
            const bool backEnd0 = std::fabs(z0 - kBackDepth) < kDepthSlack;
            const bool backEnd1 = std::fabs(z1 - kBackDepth) < kDepthSlack;
            if (frontEnd0 && frontEnd1) {
                ++frontLines;
            } else if (backEnd0 && backEnd1) {
                ++backLines;
            } else if ((frontEnd0 && backEnd1) || (backEnd0 && frontEnd1)) {
                ++depthLines;
            } else {
                ADD_FAILURE() << code << ": a line at neither face";
            }
        }
        EXPECT_GT(frontLines, 3) << code;
        EXPECT_EQ(frontLines, backLines) << code;
        EXPECT_GT(depthLines, 0) << code;
        EXPECT_LE(depthLines, frontLines) << code;
        GLfloat matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], metrics_[code].cellIncX) << code;
    }
}

TEST_F(OutlineLists, code_255_stays_an_empty_list_with_no_record) {
    GlyphMetrics sentinel;
    std::memcpy(&sentinel, &metrics_[kOutlineGlyphCount], sizeof sentinel);
    BuildEveryGlyph(false);
    EXPECT_EQ(std::memcmp(&sentinel, &metrics_[kOutlineGlyphCount], sizeof sentinel), 0);
    glLoadIdentity();
    const Feedback drawn = DrawInFeedback(base_ + kOutlineGlyphCount);
    EXPECT_TRUE(drawn.polygons.empty());
    EXPECT_TRUE(drawn.lineVertices.empty());
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 0.0f);
    // The last built code, 254 (thorn), draws and advances.
    glLoadIdentity();
    EXPECT_FALSE(DrawInFeedback(base_ + kOutlineGlyphCount - 1).polygons.empty());
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_GT(matrix[12], 0.0f);
}

TEST_F(OutlineLists, without_a_list_base_nothing_is_built_and_the_metrics_are_zero) {
    glDeleteLists(base_, kListCount);
    base_ = 0;
    BuildOutlineGlyphs(kFace, false, 0, metrics_);
    for (int code = 0; code < kOutlineGlyphCount; ++code) {
        EXPECT_EQ(metrics_[code].cellIncX, 0.0f) << code;
        EXPECT_EQ(metrics_[code].blackBoxX, 0.0f) << code;
        EXPECT_FALSE(glIsList(code + 1)) << code + 1;
    }
}

TEST_F(OutlineLists, building_leaves_the_gl_state_as_it_was) {
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glNormal3f(0.25f, 0.5f, 0.75f);
    glListBase(7);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(0.125f, 0.0f, 0.0f);
    glMatrixMode(GL_TEXTURE);
    GLfloat projectionBefore[16], modelviewBefore[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projectionBefore);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelviewBefore);
    while (glGetError() != GL_NO_ERROR) {
    }

    BuildEveryGlyph(false);
    BuildEveryGlyph(true);

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    GLint value = 0;
    glGetIntegerv(GL_FRONT_FACE, &value);
    EXPECT_EQ(value, GL_CW);
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glGetIntegerv(GL_LIST_BASE, &value);
    EXPECT_EQ(value, 7);
    glGetIntegerv(GL_MATRIX_MODE, &value);
    EXPECT_EQ(value, GL_TEXTURE);
    glGetIntegerv(GL_LIST_INDEX, &value);
    EXPECT_EQ(value, 0) << "a list is still open";
    GLfloat normal[4], projection[16], modelview[16];
    glGetFloatv(GL_CURRENT_NORMAL, normal);
    EXPECT_EQ(normal[0], 0.25f);
    EXPECT_EQ(normal[1], 0.5f);
    EXPECT_EQ(normal[2], 0.75f);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(std::memcmp(projection, projectionBefore, sizeof projection), 0);
    EXPECT_EQ(std::memcmp(modelview, modelviewBefore, sizeof modelview), 0);
    glListBase(0);
    glFrontFace(GL_CCW);
    glDisable(GL_CULL_FACE);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

TEST_F(OutlineLists, glyphs_are_compiled_when_a_text_first_draws_them) {
    BuildOutlineGlyphs(kFace, false, base_, metrics_);
    // The metrics are there at once; the lists stay empty until drawn.
    EXPECT_GT(metrics_['7'].cellIncX, 0.0f);
    EXPECT_TRUE(DrawInFeedback(base_ + '7').polygons.empty());

    PrepareOutlineGlyphs("17:", 3);
    EXPECT_FALSE(DrawInFeedback(base_ + '7').polygons.empty());
    EXPECT_FALSE(DrawInFeedback(base_ + ':').polygons.empty());
    EXPECT_TRUE(DrawInFeedback(base_ + '8').polygons.empty());
    // An uncompiled list is empty, advance and all.
    glLoadIdentity();
    DrawInFeedback(base_ + '8');
    GLfloat matrix[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_EQ(matrix[12], 0.0f);

    // A new build starts from empty lists again, in the new style.
    BuildOutlineGlyphs(kFace, true, base_, metrics_);
    EXPECT_TRUE(DrawInFeedback(base_ + '7').lineVertices.empty());
    PrepareOutlineGlyphs("7", 1);
    EXPECT_FALSE(DrawInFeedback(base_ + '7').lineVertices.empty());
}
