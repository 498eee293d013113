// The saver window's start-up sequence, view choice and keys.
#include <string>
#include <vector>

#include "glview.h"
#include "platform/messagebox.h"
#include "saverwindow.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {
using SaverWindowTest = CoreTest;

bool Same(const ViewRect& a, const ViewRect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
}  // namespace

TEST(ViewRectChoice, primary_display_only_with_several_monitors_outside_preview) {
    const ViewRect primary = {0, 0, 1920, 1080};
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, true, 3840, 1080, primary), {0, 0, 1920, 1080}));
    EXPECT_TRUE(Same(ChooseViewRect(false, 1, true, 1920, 1080, primary), {0, 0, 1920, 1080}));
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, false, 3840, 1080, primary), {0, 0, 3840, 1080}));
    EXPECT_TRUE(Same(ChooseViewRect(true, 3, true, 152, 112, primary), {0, 0, 152, 112}));
}

TEST(ViewRectChoice, primary_monitor_right_of_another_and_windows_that_do_not_hold_it) {
    // The primary monitor to the right of (or, as Windows reports it, the
    // desktop reaching left of) another one.
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, true, 3840, 1200, {1920, 120, 1920, 1080}),
                     {1920, 120, 1920, 1080}));
    // An ordinary window or a host's window smaller than the monitor, or one
    // the monitor sticks out of, is drawn in whole.
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, true, 800, 600, {0, 0, 1920, 1080}), {0, 0, 800, 600}));
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, true, 3000, 1080, {1920, 0, 1920, 1080}),
                     {0, 0, 3000, 1080}));
    EXPECT_TRUE(Same(ChooseViewRect(false, 2, true, 3840, 1080, {0, 0, 0, 0}), {0, 0, 3840, 1080}));
}

TEST_F(SaverWindowTest, creation_runs_startup_counts_the_run_and_creates_the_gl_view) {
    UCS.Set(4);
    fake::Fake().monitorCount = 2;
    fake::Fake().clientWidth = 3200;
    fake::Fake().clientHeight = 1200;
    fake::Fake().primaryWidth = 1600;
    fake::Fake().primaryHeight = 1200;
    EXPECT_EQ(SaverOnCreate(42, false), 0);
    EXPECT_EQ(UCS.Get(), 5);
    EXPECT_EQ(fake::Registry().DwordOf("UCS"), 5);
    EXPECT_LT(fake::Fake().IndexOf("LoadResourceLibrary"), fake::Fake().IndexOf("CreateGlView"));
    ASSERT_EQ(fake::Fake().glViews.size(), 1u);
    EXPECT_TRUE(Same(fake::Fake().glViews[0], {0, 0, 1600, 1200}));
    EXPECT_EQ(displayState.viewWidth, 1600);
    EXPECT_EQ(displayState.colorDepth, 32);
    EXPECT_EQ(saverState.saverWindow, 42u);
}

TEST_F(SaverWindowTest, preview_counts_the_run_and_uses_the_whole_window) {
    fake::Fake().monitorCount = 2;
    fake::Fake().clientWidth = 152;
    fake::Fake().clientHeight = 112;
    UCS.Set(0);
    EXPECT_EQ(SaverOnCreate(7, true), 0);
    EXPECT_TRUE(saverState.previewMode);
    EXPECT_EQ(UCS.Get(), 1);
    ASSERT_EQ(fake::Fake().glViews.size(), 1u);
    EXPECT_TRUE(Same(fake::Fake().glViews[0], {0, 0, 152, 112}));
}

TEST_F(SaverWindowTest, eight_bit_colour_is_refused_with_one_warning) {
    fake::Fake().colorDepth = 8;
    EXPECT_EQ(SaverOnCreate(7, false), -1);
    EXPECT_FALSE(fake::Fake().Called("CreateGlView"));
    ASSERT_EQ(fake::Fake().messageBoxes.size(), 1u);
    const fake::MessageBoxCall& box = fake::Fake().messageBoxes[0];
    EXPECT_EQ(box.text, "Please change your screen resolution to at least 16 bits of color.");
    EXPECT_EQ(box.caption, "Chronovale");
    EXPECT_EQ(box.icon, static_cast<int>(MessageIcon::Warning));
    EXPECT_TRUE(box.topmost);
}

TEST_F(SaverWindowTest, sixteen_bit_colour_is_accepted) {
    fake::Fake().colorDepth = 16;
    EXPECT_EQ(SaverOnCreate(7, false), 0);
    EXPECT_TRUE(fake::Fake().Called("CreateGlView"));
}

TEST_F(SaverWindowTest, f5_beeps_and_is_not_passed_on) {
    EXPECT_EQ(SaverOnKeyDown(kVirtualKeyF5), KeyOutcome::Handled);
    ASSERT_EQ(fake::Fake().beeps.size(), 1u);
    EXPECT_EQ(fake::Fake().beeps[0], BeepKind::Default);
}

TEST_F(SaverWindowTest, f1_and_f_open_configuration_only_on_old_platforms) {
    fake::Fake().osVersion = {PlatformFamily::Windows9x, 4, 10, 2222};
    EXPECT_EQ(SaverOnKeyDown(kVirtualKeyF1), KeyOutcome::PassOn);
    EXPECT_EQ(SaverOnKeyDown(kVirtualKeyF), KeyOutcome::PassOn);
    ASSERT_EQ(fake::Fake().shellRequests.size(), 2u);
    EXPECT_EQ(fake::Fake().shellRequests[0], "config Chronovale.scr");
    EXPECT_EQ(fake::Fake().currentDirs.back(), "C:\\Savers");

    fake::Fake().shellRequests.clear();
    fake::Fake().osVersion = {PlatformFamily::WindowsNT, 5, 1, 2600};
    EXPECT_EQ(SaverOnKeyDown(kVirtualKeyF1), KeyOutcome::PassOn);
    EXPECT_EQ(SaverOnKeyDown('A'), KeyOutcome::PassOn);
    EXPECT_TRUE(fake::Fake().shellRequests.empty());
    EXPECT_TRUE(fake::Fake().beeps.empty());
}

TEST_F(SaverWindowTest, music_plays_in_full_screen_runs_only_and_is_closed_on_every_way_out) {
    // Never asked for: off, no file, or a preview, whatever the settings.
    MusicFilename.Set("C:\\Music\\night mix.m3u");
    EXPECT_EQ(SaverOnCreate(7, false), 0);
    PlayMusic.Set(1);
    MusicFilename.Set("");
    EXPECT_EQ(SaverOnCreate(7, false), 0);
    MusicFilename.Set("C:\\Music\\night mix.m3u");
    EXPECT_EQ(SaverOnCreate(7, true), 0);
    EXPECT_TRUE(fake::Fake().musicStarts.empty());
    EXPECT_EQ(saverState.musicProcessId, 0u);

    // Started before the OpenGL view, closed by its teardown.
    fake::Fake().calls.clear();
    EXPECT_EQ(SaverOnCreate(7, false), 0);
    EXPECT_LT(fake::Fake().IndexOf("StartMusicPlayer"), fake::Fake().IndexOf("CreateGlView"));
    EXPECT_EQ(fake::Fake().musicStarts, std::vector<std::string>{"C:\\Music\\night mix.m3u"});
    EXPECT_EQ(saverState.musicProcessId, 4242u);
    GlViewOnDestroy();
    EXPECT_EQ(fake::Fake().musicCloses, std::vector<uint32_t>{4242});
    EXPECT_LT(fake::Fake().IndexOf("CloseMusicPlayer"), fake::Fake().IndexOf("PostQuit"));

    // A refused 8-bit start closes the player it started; a document with no
    // player leaves nothing to close.
    fake::Fake().colorDepth = 8;
    EXPECT_EQ(SaverOnCreate(7, false), -1);
    EXPECT_EQ(fake::Fake().musicCloses, (std::vector<uint32_t>{4242, 4242}));
    fake::Fake().musicPlayerId = 0;
    EXPECT_EQ(SaverOnCreate(7, false), -1);
    EXPECT_EQ(fake::Fake().musicCloses.size(), 2u);
    EXPECT_EQ(saverState.musicProcessId, 0u);
}
