// The overlay's geometry and texts as the pass would draw them: element
// positions in overlay units and pixels, the date line's format, the preview
// title's lines, when the notes and the banner show, and the overlay clock.
#include <cstring>
#include <string>

#include "manual_clock.h"
#include "overlay.h"
#include "scene.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {

class OverlayTest : public CoreTest {
protected:
    void SetUp() override {
        CoreTest::SetUp();
        scene.overlayFont = OverlayFont();
        frame = FrameInfo();
        frame.view = {800, 600};
        ShowFramerate.Set(0);
        ShowTime.Set(0);
        UCS.Set(1);
    }

    std::vector<OverlayLine> Compose() {
        OverlayLines lines;
        ComposeOverlayLines(frame, &lines);
        return std::vector<OverlayLine>(lines.lines, lines.lines + lines.count);
    }

    FrameInfo frame;
    fake::ScopedManualClock clock;
};

std::string DateLine(int mday, int hour, int minute) {
    std::tm local = {};
    local.tm_wday = 6;  // Saturday
    local.tm_mon = 11;  // December
    local.tm_mday = mday;
    local.tm_hour = hour;
    local.tm_min = minute;
    char text[kDateLineTextSize];
    FormatDateLine(local, text, sizeof text);
    return text;
}

}  // namespace

TEST_F(OverlayTest, frame_rate_sits_top_right_with_a_quarter_of_its_width_as_margin) {
    ShowFramerate.Set(1);
    frame.fps = 59.5;
    std::vector<OverlayLine> lines = Compose();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_STREQ(lines[0].text, "60");
    EXPECT_DOUBLE_EQ(lines[0].x, 0.975);  // width 2 * 8 / 800 = 0.02
    EXPECT_DOUBLE_EQ(lines[0].y, 16.0 / 600);
    int px = 0, py = 0;
    OverlayTextPixelOrigin(frame.view, lines[0].x, lines[0].y, &px, &py);
    EXPECT_EQ(px, 776);  // 780, less half the cell beyond the advance
    EXPECT_EQ(py, 584);  // glyph centres 16 pixels below the top edge

    char text[kFrameRateTextSize];
    FormatFrameRate(59.49, text, sizeof text);
    EXPECT_STREQ(text, "59");
    FormatFrameRate(0.0, text, sizeof text);
    EXPECT_STREQ(text, "0");
}

TEST_F(OverlayTest, date_line_sits_bottom_left_and_snaps_to_whole_pixels) {
    ShowTime.Set(1);
    std::vector<OverlayLine> lines = Compose();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].x, 0.02);
    EXPECT_DOUBLE_EQ(lines[0].y, 1.0 - 1.1 * 16.0 / 600);
    std::string text = lines[0].text;
    EXPECT_TRUE(text.size() > 2 && (text.substr(text.size() - 2) == "AM" || text.substr(text.size() - 2) == "PM"))
        << text;
    int px = 0, py = 0;
    OverlayTextPixelOrigin(frame.view, lines[0].x, lines[0].y, &px, &py);
    EXPECT_EQ(px, 12);
    EXPECT_EQ(py, 18);  // 17.6 above the bottom edge before snapping

    // Halves move away from zero, so a half-pixel origin never wobbles.
    frame.view.width = 801;
    OverlayTextPixelOrigin(frame.view, 0.5, 0.5, &px, &py);
    EXPECT_EQ(px, 397);
    EXPECT_EQ(py, 300);
}

TEST_F(OverlayTest, date_line_pads_the_day_and_shows_twelve_hour_time) {
    EXPECT_EQ(DateLine(6, 9, 5), "Sat Dec 6  -  9:05 AM");
    EXPECT_EQ(DateLine(6, 0, 30), "Sat Dec 6  - 12:30 AM");
    EXPECT_EQ(DateLine(6, 12, 0), "Sat Dec 6  - 12:00 PM");
    EXPECT_EQ(DateLine(6, 13, 7), "Sat Dec 6  -  1:07 PM");
    EXPECT_EQ(DateLine(31, 23, 59), "Sat Dec 31 - 11:59 PM");
}

TEST_F(OverlayTest, preview_shows_only_the_title_centred_line_by_line) {
    ShowFramerate.Set(1);
    ShowTime.Set(1);
    frame.bannerFade = 1.0;
    frame.colorDepth = 16;
    frame.previewMode = true;
    std::vector<OverlayLine> lines = Compose();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_STREQ(lines[0].text, "Chronovale");
    EXPECT_TRUE(lines[0].centred);
    EXPECT_DOUBLE_EQ(lines[0].y, 0.5);

    // Several words: one line each, h + gap apart, the block centred on 0.5.
    double h = 16.0 / 600;
    EXPECT_DOUBLE_EQ(PreviewTitleLineY(frame.view, 0, 3), 0.5 - 1.25 * h);
    EXPECT_DOUBLE_EQ(PreviewTitleLineY(frame.view, 1, 3), 0.5);
    EXPECT_DOUBLE_EQ(PreviewTitleLineY(frame.view, 2, 3), 0.5 + 1.25 * h);
    EXPECT_DOUBLE_EQ(PreviewTitleLineY(frame.view, 0, 2) + PreviewTitleLineY(frame.view, 1, 2), 1.0);

    char words[kMaxTitleWords][kTitleWordSize];
    ASSERT_EQ(SplitPreviewTitle("  Quill  mere x ", words), 3);
    EXPECT_STREQ(words[0], "Quill");
    EXPECT_STREQ(words[1], "mere");
    EXPECT_STREQ(words[2], "x");
    std::string many;
    for (int i = 0; i < 25; ++i) many += std::string(i == 3 ? 300 : 2, 'a' + i) + " ";
    ASSERT_EQ(SplitPreviewTitle(many.c_str(), words), kMaxTitleWords);
    EXPECT_EQ(std::strlen(words[3]), kTitleWordSize - 1);
    EXPECT_STREQ(words[4], "ee");
    EXPECT_STREQ(words[19], "tt");
}

TEST_F(OverlayTest, notes_show_in_the_first_five_runs_for_fifteen_seconds) {
    frame.colorDepth = 16;
    frame.hardwareAccelerated = false;
    UCS.Set(5);
    frame.elapsed = 14.99;
    std::vector<OverlayLine> lines = Compose();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_STREQ(lines[0].text, "NOTE: No 3D graphics acceleration. Please update your videocard drivers.");
    EXPECT_DOUBLE_EQ(lines[0].y, 0.835);
    EXPECT_STREQ(lines[1].text, "NOTE: 16-bit color detected - use 24 or 32 bit color if available.");
    EXPECT_DOUBLE_EQ(lines[1].y, 0.86);
    EXPECT_TRUE(lines[0].centred && lines[1].centred);

    frame.elapsed = 15.0;
    EXPECT_TRUE(Compose().empty());
    frame.elapsed = 1.0;
    UCS.Set(6);
    EXPECT_TRUE(Compose().empty());
    UCS.Set(1);
    frame.colorDepth = 32;
    frame.hardwareAccelerated = true;
    EXPECT_TRUE(Compose().empty());
}

TEST_F(OverlayTest, banner_fades_with_its_alpha_at_the_bottom_right) {
    frame.bannerFade = 0.0;
    EXPECT_TRUE(Compose().empty());
    frame.bannerFade = 0.5;
    std::vector<OverlayLine> lines = Compose();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_STREQ(lines[0].text, "Chronovale ~ by Quillmere ~ www.quillmere.example");
    EXPECT_DOUBLE_EQ(lines[0].color.a, 0.5);
    EXPECT_DOUBLE_EQ(lines[0].x, 1.0 - std::strlen(lines[0].text) * 8.0 / 800 - 0.02);
    EXPECT_DOUBLE_EQ(lines[0].y, 1.0 - 1.1 * 16.0 / 600);
}

TEST_F(OverlayTest, overlay_clock_counts_on_the_tick_and_reanchors_when_negative) {
    scene.overlayClock.anchorCalendarTime = 1765000000;
    scene.overlayClock.anchorTickMs = 0xFFFFF000u;
    clock.clock.tickMs = 0x00001000u;  // wrapped: 8192 ms later
    EXPECT_EQ(OverlayClockNow(), 1765000008);
    EXPECT_EQ(scene.overlayClock.anchorTickMs, 0xFFFFF000u);

    // A later change of calendar time does not show; a negative count re-anchors.
    clock.clock.calendarTime = 1800000000;
    EXPECT_EQ(OverlayClockNow(), 1765000008);
    scene.overlayClock.anchorCalendarTime = -20;
    EXPECT_EQ(OverlayClockNow(), 1800000000);
    EXPECT_EQ(scene.overlayClock.anchorCalendarTime, 1800000000);
    EXPECT_EQ(scene.overlayClock.anchorTickMs, 0x00001000u);
}
