// The clock the core reads: the high-resolution counter, the millisecond tick
// and calendar time. The platform supplies the real one; tests install a
// manual clock so that minutes of flight, midnight and a wrapped tick run in
// milliseconds and always the same way.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    virtual int64_t PerformanceCounter() = 0;    // QueryPerformanceCounter
    virtual int64_t PerformanceFrequency() = 0;  // counts per second
    virtual uint32_t TickMs() = 0;               // timeGetTime: wraps after 49.7 days
    virtual int64_t CalendarTime() = 0;          // whole seconds since 1970-01-01 UTC
    // The same calendar time in microseconds, read from the clock that
    // CalendarTime reads, so that the frame loop can begin a frame just after
    // the second changes. A clock without a finer reading gives whole seconds.
    virtual int64_t CalendarMicroseconds() { return CalendarTime() * kMicrosecondsPerSecond; }

    static constexpr int64_t kMicrosecondsPerSecond = 1000000;
};

// The clock in force: the platform's, unless a test installed another.
Clock& ActiveClock();

// Installs a clock for tests; nullptr returns to the platform's clock.
void SetActiveClock(Clock* clock);
