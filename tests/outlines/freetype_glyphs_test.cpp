// The Linux glyph builder on the faces installed here (fonts-liberation2 and
// fonts-dejavu-core): the face match and installed test, each code's metrics
// and outline, and the tessellated glyphs measured against the true curves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "fontconfig_faces.h"
#include "freetype_glyphs.h"
#include "outline_test_support.h"

namespace {

const char* const kLiberationSans = "Liberation Sans";
const char* const kDejaVuSans = "DejaVu Sans";
// Liberation Sans keeps Arial's widths: 1139 of 2048 units for a digit.
constexpr double kLiberationDigitAdvance = 1139.0 / 2048.0;
constexpr double kOneUnit = 1.0 / 2048.0;  // both faces have 2048-unit ems

// The code points of the few bytes these tests draw.
FT_ULong AnsiToUnicodeForTest(unsigned char code) { return code == 0x80 ? 0x20AC : code; }

TEST(FaceLookup, missing_faces_get_the_nearest_installed_scalable_face) {
    MatchedFace face;
    ASSERT_TRUE(MatchFace("Arial", &face));
    EXPECT_EQ(face.family, kLiberationSans);

    for (const char* name : {"No Such Face 123", ""}) {
        FreetypeFace opened;
        ASSERT_TRUE(opened.Open(name)) << '"' << name << '"';
        EXPECT_FALSE(opened.Matched().family.empty());
        GlyphOutline outline;
        GlyphMetrics metrics;
        ASSERT_TRUE(opened.LoadGlyph('0', &outline, &metrics));
        EXPECT_GT(metrics.cellIncX, 0.0f);
        EXPECT_FALSE(outline.contours.empty());
    }
}

TEST(FaceLookup, installed_means_an_exact_family_name_in_any_case) {
    for (const char* name :
         {"Liberation Sans", "DejaVu Sans", "liberation SANS", "DEJAVU SANS MONO"}) {
        EXPECT_TRUE(IsFaceInstalled(name)) << name;
    }
    // A prefix, a fontconfig alias, a name without its blank, a style in
    // the name: the Windows mapper knows none of these as a family.
    for (const char* name : {"No Such Face 123", "Liberation", "Arial", "LiberationSans",
                             "Liberation Sans Bold", "", " Liberation Sans"}) {
        EXPECT_FALSE(IsFaceInstalled(name)) << '"' << name << '"';
    }
    EXPECT_FALSE(IsFaceInstalled(nullptr));
}

class FaceGlyphs : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(face_.Open(GetParam()));
        ASSERT_EQ(face_.Matched().family, GetParam());
    }

    GlyphOutline Load(unsigned char code, GlyphMetrics* metrics) {
        GlyphOutline outline;
        EXPECT_TRUE(face_.LoadGlyph(code, &outline, metrics)) << "code " << int(code);
        return outline;
    }

    FreetypeFace face_;
};

TEST_P(FaceGlyphs, digits_share_one_advance_and_the_colon_is_narrower) {
    GlyphMetrics zero;
    Load('0', &zero);
    EXPECT_GT(zero.cellIncX, 0.3f);
    EXPECT_LT(zero.cellIncX, 1.0f);
    EXPECT_EQ(zero.cellIncY, 0.0f);
    for (unsigned char digit = '1'; digit <= '9'; ++digit) {
        GlyphMetrics metrics;
        Load(digit, &metrics);
        EXPECT_FLOAT_EQ(metrics.cellIncX, zero.cellIncX) << digit;
    }
    GlyphMetrics colon;
    Load(':', &colon);
    EXPECT_GT(colon.cellIncX, 0.1f);
    EXPECT_LT(colon.cellIncX, zero.cellIncX);
    if (std::string(GetParam()) == kLiberationSans) {
        EXPECT_NEAR(zero.cellIncX, kLiberationDigitAdvance, 1e-6);
    }
}

// The black box is the extent of the drawn outline, its origin the top left
// corner measured from the pen, y upwards.
TEST_P(FaceGlyphs, black_box_and_origin_enclose_the_outline) {
    for (unsigned char code : {'0', '7', ':', 'g', 'j', 'W', '@', '\x80'}) {
        GlyphMetrics metrics;
        const GlyphOutline outline = Load(code, &metrics);
        ASSERT_FALSE(outline.contours.empty()) << code;
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (const auto& contour : outline.contours) {
            for (const auto& p : contour.points) {
                minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
            }
        }
        // Chords cut inside the curves' extremes by up to a unit.
        const double tolerance = 1.5 * kOneUnit;
        EXPECT_NEAR(metrics.originX, minX, tolerance) << code;
        EXPECT_NEAR(metrics.originY, maxY, tolerance) << code;
        EXPECT_NEAR(metrics.blackBoxX, maxX - minX, 2 * tolerance) << code;
        EXPECT_NEAR(metrics.blackBoxY, maxY - minY, 2 * tolerance) << code;
    }
    GlyphMetrics g;
    Load('g', &g);
    EXPECT_LT(g.originY - g.blackBoxY, 0.0f) << "the descender reaches below the baseline";
}

// Byte codes 0x80..0x9F are the code page's, not Unicode's C1 controls.
TEST_P(FaceGlyphs, high_codes_draw_their_code_page_characters) {
    // Each code's glyph, as FreeType gives it for the code point, should be
    // what the builder flattened: compare the enclosed areas.
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face reference;
    ASSERT_EQ(FT_New_Face(library, face_.Matched().file.c_str(), face_.Matched().index, &reference),
              0);
    const struct {
        unsigned char code;
        FT_ULong codePoint;
    } characters[] = {{0x80, 0x20AC}, {0x8A, 0x0160}, {0x99, 0x2122},
                      {0x9F, 0x0178}, {0xE9, 0x00E9}, {0xA9, 0x00A9}};
    for (const auto& c : characters) {
        GlyphMetrics metrics;
        const GlyphOutline outline = Load(c.code, &metrics);
        ASSERT_EQ(FT_Load_Char(reference, c.codePoint, FT_LOAD_NO_SCALE), 0);
        const double expected =
            std::fabs(ExactOutlineArea(reference->glyph->outline)) * kOneUnit * kOneUnit;
        double area = 0.0;
        for (const auto& contour : outline.contours) area += SignedArea(contour.points);
        EXPECT_GT(expected, 0.0);
        EXPECT_NEAR(std::fabs(area), expected, 0.01 * expected) << "code " << int(c.code);
        EXPECT_NEAR(metrics.cellIncX, reference->glyph->advance.x * kOneUnit, 1e-6);
    }
    FT_Done_Face(reference);
    FT_Done_FreeType(library);
}

TEST_P(FaceGlyphs, controls_spaces_and_undefined_codes_draw_nothing) {
    for (int code : {0x00, 0x01, 0x09, 0x0D, 0x1F, 0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        GlyphMetrics metrics;
        const GlyphOutline outline = Load(static_cast<unsigned char>(code), &metrics);
        EXPECT_TRUE(outline.contours.empty()) << "code " << code;
        EXPECT_EQ(metrics.blackBoxX, 0.0f);
        EXPECT_EQ(metrics.blackBoxY, 0.0f);
        EXPECT_GE(metrics.cellIncX, 0.0f);
    }
    for (int code : {0x20, 0xA0}) {
        GlyphMetrics metrics;
        const GlyphOutline outline = Load(static_cast<unsigned char>(code), &metrics);
        EXPECT_TRUE(outline.contours.empty()) << "code " << code;
        EXPECT_GT(metrics.cellIncX, 0.1f) << "a space still moves the pen";
    }
}

// The solid glyph: its front face covers exactly the glyph's area (holes
// left open), and every wall looks away from the glyph.
TEST_P(FaceGlyphs, solid_glyphs_fill_their_true_area_and_face_outward) {
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face reference;
    ASSERT_EQ(FT_New_Face(library, face_.Matched().file.c_str(), face_.Matched().index, &reference),
              0);
    OutlineTessellator tessellator;
    for (unsigned char code : {'O', '8', 'B', '%', '&', '@', 'e', '\x80'}) {
        GlyphMetrics metrics;
        const GlyphOutline outline = Load(code, &metrics);
        GlyphMesh mesh;
        ASSERT_TRUE(tessellator.BuildMesh(outline, false, &mesh)) << code;

        double polygonArea = 0.0;
        for (const auto& contour : outline.contours) polygonArea += SignedArea(contour.points);
        const double faceArea = TriangleArea(mesh.faceTriangles);
        EXPECT_NEAR(faceArea, std::fabs(polygonArea), 1e-4 * faceArea) << code;

        FT_Load_Char(reference, AnsiToUnicodeForTest(code), FT_LOAD_NO_SCALE);
        const double curveArea =
            std::fabs(ExactOutlineArea(reference->glyph->outline)) * kOneUnit * kOneUnit;
        EXPECT_NEAR(faceArea, curveArea, 0.005 * curveArea) << code;

        for (size_t i = 0; i < mesh.faceTriangles.size(); i += 3) {
            const std::vector<MeshPoint> one(mesh.faceTriangles.begin() + i,
                                             mesh.faceTriangles.begin() + i + 3);
            ASSERT_GE(TriangleArea(one), -1e-12) << code << " has a clockwise triangle";
        }
        int outward = 0, inward = 0;
        for (const SideQuad& side : mesh.sides) {
            const double mx = 0.5 * (side.from.x + side.to.x);
            const double my = 0.5 * (side.from.y + side.to.y);
            const double probe = 0.25 * kOneUnit;
            const bool outsideIsEmpty =
                !IsFilled(outline, mx + probe * side.normalX, my + probe * side.normalY);
            const bool insideIsFilled =
                IsFilled(outline, mx - probe * side.normalX, my - probe * side.normalY);
            (outsideIsEmpty && insideIsFilled ? outward : inward)++;
        }
        EXPECT_EQ(inward, 0) << code << ": " << inward << " of " << mesh.sides.size()
                             << " walls face the wrong way";
        EXPECT_GT(outward, 0);
    }
    FT_Done_Face(reference);
    FT_Done_FreeType(library);
}

INSTANTIATE_TEST_SUITE_P(InstalledFaces, FaceGlyphs,
                         ::testing::Values(kLiberationSans, kDejaVuSans), [](const auto& info) {
                             std::string name = info.param;
                             name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
                             return name;
                         });

}  // namespace
