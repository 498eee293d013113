// The text unit's measuring and formatting, the outline font's lists and
// metrics, the font catalogue's random pick, and the trail pass's pure rules.
#include <cstdarg>
#include <cstring>
#include <string>

#include "crtrand.h"
#include "fontcatalogue.h"
#include "render.h"
#include "scene_support.h"
#include "text.h"

using scenetest::ReferenceRandom;

namespace {
class TextTest : public scenetest::SceneTest {
protected:
    GlyphMetrics metrics[kOutlineListCount] = {};
    void Advance(unsigned char code, float cellIncX) { metrics[code].cellIncX = cellIncX; }
};

std::string Formatted(const char* format, ...) {
    char buffer[kText3DBufferSize + 8];
    memset(buffer, 'X', sizeof buffer);
    va_list arguments;
    va_start(arguments, format);
    FormatText3D(buffer, format, arguments);
    va_end(arguments);
    EXPECT_EQ(buffer[kText3DBufferSize], 'X') << "wrote past the buffer";
    return buffer;
}
}  // namespace

TEST_F(TextTest, centring_uses_the_summed_and_the_largest_advance) {
    Advance('1', 0.4f);
    Advance('0', 0.6f);
    Advance(':', 0.25f);
    Advance(200, 0.9f);
    Advance(255, 5.0f);  // never the case in a real table; must still be read as itself

    TextOffset empty = TextCentringOffset("", metrics);
    EXPECT_EQ(empty.x, 0.0f);
    EXPECT_EQ(empty.y, 0.0f);

    TextOffset one = TextCentringOffset("1", metrics);
    EXPECT_FLOAT_EQ(one.x, -0.2f);
    EXPECT_FLOAT_EQ(one.y, -0.2f);

    TextOffset time = TextCentringOffset("10:00", metrics);
    EXPECT_FLOAT_EQ(time.x, -0.5f * (0.4f + 0.6f + 0.25f + 0.6f + 0.6f));
    EXPECT_FLOAT_EQ(time.y, -0.3f);

    // High codes index their own records, not negative ones.
    const char high[] = {'1', static_cast<char>(200), 0};
    TextOffset h = TextCentringOffset(high, metrics);
    EXPECT_FLOAT_EQ(h.x, -0.5f * 1.3f);
    EXPECT_FLOAT_EQ(h.y, -0.45f);
}

TEST_F(TextTest, outline_font_leaves_code_255_unmeasured_and_cuts_long_texts) {
    for (int code = 0; code < kOutlineGlyphCount; ++code) fake::OutlineFonts().metrics[code].cellIncX = 0.5f;
    CreateOutlineFont("Impact", false);
    ASSERT_EQ(fake::OutlineFonts().builds.size(), 1u);
    EXPECT_EQ(fake::OutlineFonts().builds[0].faceName, "Impact");
    EXPECT_FALSE(fake::OutlineFonts().builds[0].wireframe);
    EXPECT_EQ(scene.outlineFont.metrics[254].cellIncX, 0.5f);
    EXPECT_EQ(scene.outlineFont.metrics[255].cellIncX, 0.0f);
    const char withFF[] = {'A', static_cast<char>(255), 'B', 0};
    EXPECT_FLOAT_EQ(TextCentringOffset(withFF, scene.outlineFont.metrics).x, -0.5f);

    std::string longText(300, 'a');
    std::string cut = Formatted("%s", longText.c_str());
    EXPECT_EQ(cut.size(), 255u);
    EXPECT_EQ(Formatted("%d:%02d", 4, 7), "4:07");
}

TEST_F(TextTest, pick_tries_random_catalogue_faces_until_one_is_installed) {
    fake::OutlineFonts().installedFaces = {"Tahoma"};
    const uint32_t kSeed = 555;
    SeedRandom(kSeed);
    char face[500];
    PickRandomInstalledFace(face, sizeof face);
    EXPECT_STREQ(face, "Tahoma");

    ReferenceRandom ref(kSeed);
    int tries = 1;
    while (ref.Next() % 37 != 33) ++tries;
    EXPECT_EQ(fake::OutlineFonts().installQueries.size(), static_cast<size_t>(tries));
    EXPECT_EQ(fake::OutlineFonts().installQueries.back(), "Tahoma");
    EXPECT_EQ(Random(), ref.Next());
}

TEST_F(TextTest, after_a_hundred_misses_the_pick_takes_an_untested_fallback) {
    fake::OutlineFonts().installedFaces = {"Courier New", "Arial"};  // no catalogue face
    const uint32_t kSeed = 9;
    SeedRandom(kSeed);
    char face[kFaceNameMinBuffer];
    PickRandomInstalledFace(face, sizeof face);
    ReferenceRandom ref(kSeed);
    for (int i = 0; i < 100; ++i) ref.Next();
    const char* fallbacks[] = {"Courier New", "Arial", "Times New Roman"};
    EXPECT_STREQ(face, fallbacks[ref.Next() % 3]);
    EXPECT_EQ(fake::OutlineFonts().installQueries.size(), 100u);
    EXPECT_EQ(strlen(kFontCatalogue[8]), 23u) << "the longest name fits the smallest buffer";
}

TEST(TrailPass, darkening_follows_the_frame_time_within_bounds) {
    EXPECT_DOUBLE_EQ(TrailAlpha(0.01), 0.1);
    EXPECT_NEAR(TrailAlpha(0.1), 0.3003, 1e-4);
    EXPECT_DOUBLE_EQ(TrailAlpha(0.5), 1.0);
    EXPECT_DOUBLE_EQ(TrailAlpha(1.0 / 30), 0.1001001001001001);
    EXPECT_DOUBLE_EQ(TrailAlpha(0.0), 0.1);
}

TEST(TrailPass, kept_picture_texture_is_the_next_power_of_two) {
    EXPECT_EQ(TrailTextureExtent(1920), 2048);
    EXPECT_EQ(TrailTextureExtent(1080), 2048);
    EXPECT_EQ(TrailTextureExtent(1024), 1024);
    EXPECT_EQ(TrailTextureExtent(1025), 2048);
    EXPECT_EQ(TrailTextureExtent(152), 256);
    EXPECT_EQ(TrailTextureExtent(1), 1);
    EXPECT_EQ(TrailTextureExtent(0), 1);
}
