// Frame pacing: the retrace measurement and the wait before the next frame.
// Runs on the user-interface thread with the frame loop.
#include "framepacing.h"

#include "clock.h"

FramePacing framePacing;

namespace {
// The first frames are left out of the measurement: the first one carries
// the scene's set-up, and a driver that queues swaps lets the first few
// return at once even when it waits for the retrace.
constexpr uint32_t kUnmeasuredFrames = 4;
// An interval shorter than this share of the refresh period cannot have
// waited for a retrace.
constexpr double kShortIntervalShare = 0.75;
// Of a window of intervals, this many short ones mean the swap does not
// wait; a retrace-waiting driver gives at most a stray one after a stall.
constexpr uint32_t kMeasuringWindow = 8;
constexpr uint32_t kShortIntervalsForPacing = 6;
// How long after the second changes the next frame begins: enough for the
// calendar clock to show the new second on every wake-up.
constexpr int64_t kSecondMarginMicroseconds = 500;
// A calendar clock that advances in ticks (about 16 ms on Windows) shows a
// new second up to a tick late; within this time after the change the loop
// waits in short steps until it does.
constexpr int64_t kCoarseTickMicroseconds = 20000;
constexpr int64_t kCoarseTickStepMicroseconds = 1000;

int64_t CountsToMicroseconds(int64_t counts, int64_t frequency) {
    return frequency > 0 ? counts * Clock::kMicrosecondsPerSecond / frequency : 0;
}
}  // namespace

void StartFramePacing(bool vsyncRequested, int refreshHz) {
    Clock& clock = ActiveClock();
    framePacing = FramePacing();
    framePacing.requested = vsyncRequested;
    framePacing.frequency = clock.PerformanceFrequency();
    int hz = refreshHz > 0 ? refreshHz : kFallbackRefreshHz;
    framePacing.periodCounts = framePacing.frequency / hz;
    framePacing.frameStartCount = clock.PerformanceCounter();
    framePacing.frameStartSecond = clock.CalendarTime();
}

void NoteFrameStart() {
    FramePacing& p = framePacing;
    Clock& clock = ActiveClock();
    int64_t now = clock.PerformanceCounter();
    int64_t interval = now - p.frameStartCount;
    p.frameStartCount = now;
    p.frameStartSecond = clock.CalendarTime();
    p.waitingForSecond = false;
    ++p.framesSeen;
    // Once paced, the intervals are the loop's own doing and tell nothing.
    if (!p.requested || p.paced || p.framesSeen <= kUnmeasuredFrames) return;
    ++p.windowIntervals;
    if (interval < static_cast<int64_t>(kShortIntervalShare * static_cast<double>(p.periodCounts)))
        ++p.shortIntervals;
    if (p.windowIntervals < kMeasuringWindow) return;
    // A window of slow frames (a busy machine, a slow scene) says nothing
    // either way: pacing would not wait then; the next window measures again.
    p.paced = p.shortIntervals >= kShortIntervalsForPacing;
    p.windowIntervals = 0;
    p.shortIntervals = 0;
}

int64_t FramePacingWaitMicroseconds() {
    FramePacing& p = framePacing;
    if (!p.paced) return 0;
    Clock& clock = ActiveClock();
    int64_t now = clock.PerformanceCounter();
    int64_t calendarMicros = clock.CalendarMicroseconds();
    // The frame began before the second changed: it read the old second, so
    // the next one begins at once and spawns the new time.
    if (clock.CalendarTime() != p.frameStartSecond) return 0;

    int64_t untilPeriodEnd = CountsToMicroseconds(p.frameStartCount + p.periodCounts - now,
                                                  p.frequency);
    int64_t intoSecond = calendarMicros % Clock::kMicrosecondsPerSecond;
    if (intoSecond < 0) intoSecond += Clock::kMicrosecondsPerSecond;
    int64_t frameStartMicros = p.frameStartSecond * Clock::kMicrosecondsPerSecond;
    // The finer reading is past a change of second that the whole seconds
    // do not show yet.
    bool changeNotShownYet =
        calendarMicros - intoSecond > frameStartMicros && intoSecond < kCoarseTickMicroseconds;
    int64_t untilSecond = Clock::kMicrosecondsPerSecond - intoSecond + kSecondMarginMicroseconds;
    if (p.waitingForSecond) {
        // Once this frame waits for the change, it waits for it past the
        // period's end too: a wait that ended a little early (a sleep in
        // whole milliseconds, input handled meanwhile) would otherwise let
        // the next frame begin just before the change, read the old second
        // and leave the new time to the frame after it.
        if (changeNotShownYet) return kCoarseTickStepMicroseconds;
        if (untilSecond <= CountsToMicroseconds(p.periodCounts, p.frequency)) return untilSecond;
    }
    if (untilPeriodEnd <= 0) return 0;
    if (changeNotShownYet) {
        // Look again shortly.
        return untilPeriodEnd < kCoarseTickStepMicroseconds ? untilPeriodEnd
                                                             : kCoarseTickStepMicroseconds;
    }
    // A frame that would begin shortly before the second changes reads the
    // old second and makes the new one wait for the frame after it; when the
    // change comes sooner after the period's end than this frame took, the
    // next frame waits for the change instead.
    int64_t frameTook = CountsToMicroseconds(now - p.frameStartCount, p.frequency);
    if (untilSecond < untilPeriodEnd + frameTook) {
        p.waitingForSecond = true;
        return untilSecond;
    }
    return untilPeriodEnd;
}
