// Setting the clock on Linux: the local time record becomes calendar
// seconds through the system's time zone rules, then CLOCK_REALTIME is set.
// Other programs need no message: the kernel tells every timer that asked
// to be cancelled on a clock change.
#include <time.h>

#include "platform/clockset.h"

namespace {
constexpr int kYearBase = 1900;
constexpr long kNanosecondsPerMillisecond = 1000000;
}  // namespace

bool SetLocalClock(const LocalTimeRecord& time) {
    tm local = {};
    local.tm_year = time.year - kYearBase;
    local.tm_mon = time.month - 1;
    local.tm_mday = time.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;  // let the zone rules decide, as the local time it is
    time_t seconds = mktime(&local);
    if (seconds == static_cast<time_t>(-1)) return false;

    timespec now;
    now.tv_sec = seconds;
    now.tv_nsec = static_cast<long>(time.milliseconds) * kNanosecondsPerMillisecond;
    return clock_settime(CLOCK_REALTIME, &now) == 0;
}
