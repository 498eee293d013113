// The frame pacing: when it decides the swap does not wait for the retrace,
// how long the loop waits after a frame, and that frames begin (and times
// spawn) just after each change of the second. The loop below plays the
// backends' part: a frame, FrameSleepTimeMs, then the pacing's waits.
#include <vector>

#include "fake_platform.h"
#include "framepacing.h"
#include "glview.h"
#include "scene.h"
#include "scene_support.h"
#include "settings_catalogue.h"

namespace {
constexpr int64_t kMicros = 1000000;

class FramePacingTest : public scenetest::SceneTest {
protected:
    // Setting objects outlive a test: each case starts from the defaults.
    void SetUp() override {
        SceneTest::SetUp();
        VsyncEnabled.ResetToDefault();
        FrameSleepTimeMs.ResetToDefault();
    }
    void TearDown() override {
        VsyncEnabled.ResetToDefault();
        FrameSleepTimeMs.ResetToDefault();
        SceneTest::TearDown();
    }

    struct FrameStart {
        int64_t counter;       // microseconds
        int64_t calendarMicros;
        bool spawned;          // the frame spawned a new time
    };

    // Frames that cost costSeconds of drawing and swapping each, then the
    // frame sleep and the pacing's waits, for as long as seconds of clock.
    // With wholeMilliseconds the backend sleeps as the Windows one does:
    // whole milliseconds, at least one, so a wait may end up to a
    // millisecond early and the pacing is asked again.
    std::vector<FrameStart> RunLoop(double seconds, double costSeconds,
                                    bool wholeMilliseconds = false) {
        std::vector<FrameStart> starts;
        int64_t end = clock.clock.counter + static_cast<int64_t>(seconds * kMicros);
        while (clock.clock.counter < end) starts.push_back(OneFrame(costSeconds, wholeMilliseconds));
        return starts;
    }

    // Every frame that is the first of its second spawns, and begins within
    // withinMicros after the second's start; no other frame spawns.
    void ExpectEachSecondBeginsAFrame(const std::vector<FrameStart>& starts, int64_t withinMicros) {
        int spawns = 0;
        for (size_t i = 1; i < starts.size(); ++i) {
            bool newSecond =
                starts[i].calendarMicros / kMicros != starts[i - 1].calendarMicros / kMicros;
            EXPECT_EQ(starts[i].spawned, newSecond) << "frame " << i;
            if (!newSecond) continue;
            ++spawns;
            EXPECT_LE(starts[i].calendarMicros % kMicros, withinMicros) << "frame " << i;
        }
        EXPECT_GE(spawns, static_cast<int>((starts.back().counter - starts.front().counter) / kMicros) - 1);
    }

    FrameStart OneFrame(double costSeconds, bool wholeMilliseconds = false) {
        int32_t lastSeconds = scene.state.lastSeconds;
        size_t objects = Objects().size();
        FrameStart start = {clock.clock.counter, clock.clock.CalendarMicroseconds(), false};
        GlViewOnPaint();
        start.spawned = Objects().size() > objects && scene.state.lastSeconds != lastSeconds;
        clock.clock.AdvanceSeconds(costSeconds);
        if (FrameSleepTimeMs.Get() > 0) clock.clock.AdvanceSeconds(FrameSleepTimeMs.Get() / 1e3);
        for (int64_t wait; (wait = FramePacingWaitMicroseconds()) > 0;) {
            EXPECT_LE(wait, framePacing.periodCounts) << "a wait never outlasts a period";
            if (wholeMilliseconds) wait = wait < 1000 ? 1000 : wait / 1000 * 1000;
            clock.clock.AdvanceSeconds(static_cast<double>(wait) / kMicros);
        }
        return start;
    }
};
}  // namespace

TEST_F(FramePacingTest, a_swap_without_retrace_wait_is_paced_to_the_period_after_the_frame_sleep) {
    fake::Fake().refreshRateHz = 50;
    FrameSleepTimeMs.Set(2);
    SetLocalTime(10, 0, 0, 0.25);
    StartView();
    EXPECT_EQ(framePacing.periodCounts, 20000);  // 50 Hz on the microsecond counter

    // 3 ms of drawing and 2 ms of sleep: back to back while measuring.
    std::vector<FrameStart> starts = RunLoop(0.5, 0.003);
    ASSERT_TRUE(framePacing.paced);
    EXPECT_EQ(starts[1].counter - starts[0].counter, 5000);

    // Once paced, the period is the display's: 20 ms from frame start to
    // frame start, except where a frame was moved to the start of a second.
    starts = RunLoop(2.0, 0.003);
    int periods = 0, others = 0;
    for (size_t i = 1; i < starts.size(); ++i) {
        int64_t interval = starts[i].counter - starts[i - 1].counter;
        if (interval == 20000) {
            ++periods;
        } else {
            ++others;
            EXPECT_LT(starts[i].calendarMicros % kMicros, 1000) << "only a second's start moves";
        }
    }
    EXPECT_GE(periods, 90);
    EXPECT_LE(others, 4);

    // A frame slower than the period waits for nothing.
    starts = RunLoop(0.5, 0.025);
    for (size_t i = 1; i < starts.size(); ++i)
        EXPECT_EQ(starts[i].counter - starts[i - 1].counter, 27000);

    // Asked again after a wait (input was handled meanwhile), the pacing
    // counts from the frame's start, not from the question.
    GlViewOnPaint();
    clock.clock.AdvanceSeconds(0.003 + 0.002);
    int64_t first = FramePacingWaitMicroseconds();
    EXPECT_GT(first, 4000);
    clock.clock.AdvanceSeconds(0.004);
    EXPECT_EQ(FramePacingWaitMicroseconds(), first - 4000);
}

TEST_F(FramePacingTest, a_retrace_waiting_swap_and_vsync_off_keep_frames_back_to_back) {
    // The swap itself waits for the 60 Hz retrace: every interval is a period.
    SetLocalTime(10, 0, 0, 0.25);
    StartView();
    RunLoop(1.0, 1.0 / 60);
    EXPECT_FALSE(framePacing.paced);

    // One stalled frame followed by a queued swap that returns at once is
    // not taken for a swap that never waits.
    for (int i = 0; i < 40; ++i) {
        OneFrame(i % 20 == 0 ? 0.030 : i % 20 == 1 ? 0.003 : 1.0 / 60);
        ASSERT_FALSE(framePacing.paced) << i;
    }

    // VsyncEnabled 0: fast frames stay back to back.
    ResetGlViewState();
    VsyncEnabled.Set(0);
    StartView();
    std::vector<FrameStart> starts = RunLoop(1.0, 0.004);
    EXPECT_FALSE(framePacing.paced);
    EXPECT_EQ(starts.size(), 250u);
}

TEST_F(FramePacingTest, paced_frames_begin_and_spawn_just_after_each_change_of_the_second) {
    // 60 Hz unknown to the platform, frames of 5 ms, a second's phase that
    // does not divide by the period.
    SetLocalTime(10, 0, 0, 0.3721);
    StartView();
    RunLoop(0.2, 0.005);
    ASSERT_TRUE(framePacing.paced);
    EXPECT_EQ(framePacing.periodCounts, kMicros / 60);

    std::vector<FrameStart> starts = RunLoop(6.0, 0.005);
    ExpectEachSecondBeginsAFrame(starts, 1000);
    // About 60 frames a second, not one more per period.
    EXPECT_LE(starts.size(), 6u * 61u);
    EXPECT_GE(starts.size(), 6u * 59u);

    // Sleeps in whole milliseconds end a wait for the second early; the
    // frame must still not begin just before the change and read the old
    // second. Frames of 9 ms put the change after the period's end often.
    starts = RunLoop(10.0, 0.009, true);
    ExpectEachSecondBeginsAFrame(starts, 1500);
}
