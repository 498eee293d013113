// A clock the test moves by hand. The performance counter counts
// microseconds; the tick and calendar time move with it.
#pragma once

#include "clock.h"

namespace fake {

class ManualClock : public Clock {
public:
    int64_t counter = 1000000;  // microseconds
    uint32_t tickMs = 5000;
    int64_t calendarTime = 1765000000;

    int64_t PerformanceCounter() override { return counter; }
    int64_t PerformanceFrequency() override { return 1000000; }
    uint32_t TickMs() override { return tickMs; }
    int64_t CalendarTime() override { return calendarTime; }
    // The fraction of the second moves with the counter, as AdvanceSeconds
    // moves the calendar.
    int64_t CalendarMicroseconds() override {
        return calendarTime * kMicrosecondsPerSecond + (counter - 1000000) % kMicrosecondsPerSecond;
    }

    void AdvanceSeconds(double seconds) {
        int64_t micros = static_cast<int64_t>(seconds * 1e6 + 0.5);
        counter += micros;
        tickMs += static_cast<uint32_t>(micros / 1000);
        calendarTime = 1765000000 + (counter - 1000000) / 1000000;
    }
};

// Installs a ManualClock for the life of a test.
class ScopedManualClock {
public:
    ScopedManualClock() { SetActiveClock(&clock); }
    ~ScopedManualClock() { SetActiveClock(nullptr); }
    ManualClock clock;
};

}  // namespace fake
