// The Windows glyph builder under Wine: the lists and metrics that
// wglUseFontOutlinesA fills for the saver's face request, and the installed
// test through EnumFontFamiliesA. Run by run_outline_test.py --wine.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/outlinefont.h"
#include "wgl_test_window.h"

namespace {

constexpr int kListCount = 256;

// One window for the suite: creating a WGL context costs Wine seconds.
WglTestWindow* window = nullptr;

class WglOutlines : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        window = new WglTestWindow;
        if (!window->Open(320, 200)) {
            delete window;
            window = nullptr;
        }
    }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(window, nullptr);
        base_ = glGenLists(kListCount);
        ASSERT_NE(base_, 0u);
        std::memset(metrics_, 0, sizeof metrics_);
    }
    void TearDown() override {
        if (base_ != 0) glDeleteLists(base_, kListCount);
    }

    unsigned base_ = 0;
    GlyphMetrics metrics_[kListCount];
};

TEST_F(WglOutlines, digits_and_colon_get_positive_advances_in_em_units) {
    for (bool wireframe : {false, true}) {
        BuildOutlineGlyphs("Arial", wireframe, base_, metrics_);
        for (unsigned char code : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9', ':'}) {
            EXPECT_GT(metrics_[code].cellIncX, 0.1f) << code;
            EXPECT_LT(metrics_[code].cellIncX, 1.5f) << code;
            EXPECT_GT(metrics_[code].blackBoxY, 0.0f) << code;
        }
        // Arial, or its stand-in here, has tabular digits.
        for (unsigned char digit = '1'; digit <= '9'; ++digit) {
            EXPECT_FLOAT_EQ(metrics_[digit].cellIncX, metrics_['0'].cellIncX) << digit;
        }
        // The list of a glyph ends by moving the pen by its advance.
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glCallList(base_ + '7');
        GLfloat matrix[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], metrics_['7'].cellIncX);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

TEST_F(WglOutlines, a_missing_face_gets_the_nearest_installed_one) {
    BuildOutlineGlyphs("No Such Face 123", false, base_, metrics_);
    EXPECT_GT(metrics_['0'].cellIncX, 0.1f);
}

TEST_F(WglOutlines, without_a_list_base_the_metrics_are_zero) {
    std::memset(metrics_, 0x7F, sizeof metrics_);
    BuildOutlineGlyphs("Arial", false, 0, metrics_);
    for (int code = 0; code < kOutlineGlyphCount; ++code) {
        EXPECT_EQ(metrics_[code].cellIncX, 0.0f) << code;
    }
}

TEST(WglFaces, installed_means_an_enumerated_family_name) {
    EXPECT_TRUE(IsFaceInstalled("Liberation Sans"));
    EXPECT_TRUE(IsFaceInstalled("liberation sans"));
    for (const char* name : {"No Such Face 123", "Liberation", ""}) {
        EXPECT_FALSE(IsFaceInstalled(name)) << '"' << name << '"';
    }
}

}  // namespace
