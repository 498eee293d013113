// Setting the computer's clock from a local calendar time: SetLocalTime and
// the time-change broadcast to every top-level window on Windows,
// clock_settime(CLOCK_REALTIME) on Linux. Whether the process may set the
// clock is the platform's business; the caller only learns the outcome.
#pragma once

#include <cstdint>

// The platform's local time record, field for field.
struct LocalTimeRecord {
    uint16_t year = 0;
    uint16_t month = 0;      // 1..12
    uint16_t dayOfWeek = 0;  // ignored when the clock is set
    uint16_t day = 0;        // 1..31
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};

// True only when the clock now shows this local time.
bool SetLocalClock(const LocalTimeRecord& time);
