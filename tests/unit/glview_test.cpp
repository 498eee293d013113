// The OpenGL window's frame clock, frame step, power saving and teardown,
// driven by a manual clock.
#include <cmath>

#include "glview.h"
#include "main.h"
#include "manual_clock.h"
#include "settings_catalogue.h"
#include "test_support.h"

namespace {
class GlViewTest : public CoreTest {
protected:
    fake::ScopedManualClock clock;

    void Frame(double seconds) {
        clock.clock.AdvanceSeconds(seconds);
        GlViewOnPaint();
    }
};
}  // namespace

TEST_F(GlViewTest, first_frame_delta_covers_the_set_up_and_rates_wait_for_their_windows) {
    GlViewOnCreate(true);
    clock.clock.AdvanceSeconds(0.25);  // scene set-up
    GlViewOnSize(800, 600);
    Frame(0.05);
    EXPECT_NEAR(frameClock.frameDelta, 0.30, 1e-9);
    EXPECT_EQ(frameClock.frameCount, 1u);
    EXPECT_NEAR(frameClock.averageFps, 1 / 0.30, 1e-9);
    EXPECT_EQ(frameClock.fps, 0.0);

    // 0.30 s so far; 70 frames of 10 ms reach exactly one second.
    for (int i = 0; i < 69; ++i) Frame(0.01);
    EXPECT_EQ(frameClock.fps, 0.0);
    Frame(0.01);
    EXPECT_NEAR(frameClock.fps, 71.0, 1e-6);
    EXPECT_EQ(frameClock.fps5, 0.0);

    for (int i = 0; i < 399; ++i) Frame(0.01);
    EXPECT_EQ(frameClock.fps5, 0.0);
    Frame(0.01);
    EXPECT_NEAR(frameClock.elapsed, 5.0, 1e-9);
    EXPECT_NEAR(frameClock.fps5, 471.0 / 5.0, 1e-6);
    EXPECT_NEAR(frameClock.averageFps, 471.0 / 5.0, 1e-6);
}

TEST_F(GlViewTest, banner_fades_in_to_exactly_one_then_out_to_zero) {
    GlViewOnCreate(true);
    GlViewOnSize(800, 600);
    int timesAtOne = 0;
    double previous = 0;
    bool fadingOut = false;
    for (int i = 0; i < 300; ++i) {  // 30 s in steps of 0.1 s
        Frame(0.1);
        ASSERT_GE(frameStep.bannerFade, 0.0);
        ASSERT_LE(frameStep.bannerFade, 1.0);
        if (frameStep.bannerFade == 1.0) ++timesAtOne;
        if (fadingOut) {
            ASSERT_LE(frameStep.bannerFade, previous);
        }
        if (frameStep.bannerFade < previous) fadingOut = true;
        previous = frameStep.bannerFade;
    }
    EXPECT_EQ(timesAtOne, 1);
    EXPECT_EQ(frameStep.bannerFade, 0.0);
    EXPECT_EQ(frameStep.bannerFadeRate, -0.1);
}

TEST_F(GlViewTest, automatic_close_fires_once_at_the_first_frame_past_bcs) {
    BCS.Set(30);
    GlViewOnCreate(true);
    GlViewOnSize(800, 600);
    for (int i = 0; i < 299; ++i) Frame(0.1);
    EXPECT_LT(frameClock.elapsed, 30.0);
    EXPECT_EQ(fake::Fake().closeRequests, 0);
    Frame(0.1);
    EXPECT_EQ(fake::Fake().closeRequests, 1);
    for (int i = 0; i < 50; ++i) Frame(0.1);
    EXPECT_EQ(fake::Fake().closeRequests, 1);
}

TEST_F(GlViewTest, automatic_close_never_fires_for_zero_or_negative_bcs) {
    for (int bcs : {0, -5}) {
        fake::ResetAll();
        BCS.Set(bcs);
        GlViewOnCreate(true);
        GlViewOnSize(800, 600);
        for (int i = 0; i < 100; ++i) Frame(1.0);
        EXPECT_EQ(fake::Fake().closeRequests, 0) << "BCS " << bcs;
    }
}

TEST_F(GlViewTest, mouse_moves_are_ignored_during_the_first_second) {
    GlViewOnCreate(true);
    GlViewOnSize(800, 600);
    Frame(0.5);
    EXPECT_TRUE(GlViewIgnoresMouseMove());
    Frame(0.49);
    EXPECT_TRUE(GlViewIgnoresMouseMove());
    Frame(0.02);
    EXPECT_FALSE(GlViewIgnoresMouseMove());
}

TEST_F(GlViewTest, power_saving_is_suspended_and_restored_only_when_it_was_active) {
    PermitMonitorPowerSaving.Set(0);
    fake::Fake().powerOffActive = true;
    fake::Fake().lowPowerActive = false;
    GlViewOnCreate(true);
    EXPECT_FALSE(fake::Fake().powerOffActive);
    EXPECT_FALSE(fake::Fake().Called("LowPowerOff"));
    GlViewOnDestroy();
    EXPECT_TRUE(fake::Fake().powerOffActive);
    EXPECT_FALSE(fake::Fake().lowPowerActive);
    EXPECT_FALSE(fake::Fake().Called("LowPowerOn"));

    fake::ResetAll();
    PermitMonitorPowerSaving.Set(1);
    GlViewOnCreate(true);
    GlViewOnDestroy();
    EXPECT_FALSE(fake::Fake().Called("PowerOffOff"));
    EXPECT_FALSE(fake::Fake().Called("PowerOffOn"));
}

TEST_F(GlViewTest, swap_wait_is_switched_off_only_when_vsync_is_off) {
    VsyncEnabled.Set(1);
    GlViewOnSize(800, 600);
    EXPECT_FALSE(fake::Fake().Called("SwitchOffSwapWait"));
    VsyncEnabled.Set(0);
    GlViewOnSize(800, 600);
    EXPECT_TRUE(fake::Fake().Called("SwitchOffSwapWait"));
    EXPECT_EQ(CurrentFrameInfo().view.width, 800);
    EXPECT_EQ(CurrentFrameInfo().view.height, 600);
    EXPECT_NEAR(CurrentFrameInfo().Aspect(), 800.0 / 600.0, 1e-12);
}

TEST_F(GlViewTest, frame_info_carries_the_clock_view_display_and_banner_of_the_frame) {
    GlViewOnCreate(false);  // a software renderer
    GlViewOnSize(640, 480);
    for (int i = 0; i < 11; ++i) Frame(0.1);
    FrameInfo frame = CurrentFrameInfo();
    EXPECT_EQ(frame.frameCount, 11u);
    EXPECT_NEAR(frame.frameDelta, 0.1, 1e-9);
    EXPECT_NEAR(frame.elapsed, 1.1, 1e-9);
    EXPECT_NEAR(frame.fps, 10.0, 1e-6);  // the first whole second held ten frames
    EXPECT_NEAR(frame.averageFps, 10.0, 1e-6);
    EXPECT_EQ(frame.view.width, 640);
    EXPECT_EQ(frame.view.height, 480);
    EXPECT_FALSE(frame.hardwareAccelerated);
    EXPECT_FALSE(frame.previewMode);
    EXPECT_NEAR(frame.bannerFade, 1.1 * kBannerFadeInRate, 1e-9);

    // A new run starts from the records' start values.
    ResetGlViewState();
    frame = CurrentFrameInfo();
    EXPECT_EQ(frame.frameCount, 0u);
    EXPECT_TRUE(frame.hardwareAccelerated);
    EXPECT_EQ(frame.bannerFade, 0.0);
    EXPECT_EQ(frameStep.bannerFadeRate, kBannerFadeInRate);
}

TEST_F(GlViewTest, teardown_releases_in_order_and_unloads_the_library) {
    RunStartup();
    ASSERT_NE(resourceLibrary, nullptr);
    PermitMonitorPowerSaving.Set(0);
    GlViewOnCreate(true);
    fake::Fake().calls.clear();
    GlViewOnDestroy();
    const auto& f = fake::Fake();
    ASSERT_TRUE(f.Called("RestoreDisplayMode"));
    EXPECT_LT(f.IndexOf("RestoreDisplayMode"), f.IndexOf("ReleaseGlContext"));
    EXPECT_LT(f.IndexOf("ReleaseGlContext"), f.IndexOf("PostQuit"));
    EXPECT_LT(f.IndexOf("PostQuit"), f.IndexOf("PowerOffOn"));
    EXPECT_LT(f.IndexOf("PowerOffOn"), f.IndexOf("FreeResourceLibrary"));
    EXPECT_EQ(f.quitCode, 0);
    EXPECT_EQ(resourceLibrary, nullptr);
}
