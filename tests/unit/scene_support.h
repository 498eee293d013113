// Shared set-up of the scene tests: a fresh scene, a manual clock placed at
// a chosen local time of day, a scripted clock-synchronisation exchange and
// an independent copy of the C runtime generator for expected random values.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "fake_outlinefont.h"
#include "flyingtime.h"
#include "manual_clock.h"
#include "scene.h"
#include "test_support.h"

namespace scenetest {

// The C runtime's generator, written out again so that expected values do
// not come from the code under test.
struct ReferenceRandom {
    uint32_t state;
    explicit ReferenceRandom(uint32_t seed) : state(seed) {}
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7fff);
    }
};

// What the scene asked of the clock exchange, and when polls succeed.
struct ScriptedClockSync {
    int starts = 0;
    int polls = 0;
    int stops = 0;
    int succeedAtPoll = -1;  // 1-based poll number that reports a correction
};
ScriptedClockSync& ClockSyncScript();

// Calendar time of the given local time on 7 December 2025 (after the manual
// clock's start, so its calendar arithmetic never truncates a negative value).
int64_t LocalCalendarTime(int hour, int minute, int second);

class SceneTest : public CoreTest {
protected:
    fake::ScopedManualClock clock;

    void SetUp() override;
    void TearDown() override;

    // Moves the manual clock (counter, tick, calendar together) so that the
    // local time is hour:minute:second plus fraction of a second.
    void SetLocalTime(int hour, int minute, int second, double fraction = 0.0);
    // The counter value (microseconds) at which the calendar shows calendarTime.
    int64_t CounterAt(int64_t calendarTime) const;

    // Window creation and sizing as the shell does them: frame clock, scene set-up.
    void StartView(int width = 1024, int height = 768);
    // One frame of the OpenGL window after seconds of wall time.
    void Frame(double seconds);

    static std::vector<CSceneObject*> Objects();
    static std::vector<std::string> Texts();  // flying times, head (newest) first
};

}  // namespace scenetest
