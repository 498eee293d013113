// Setting the clock on Linux: the local time record becomes calendar
// seconds through the system's time zone rules (the repeated autumn hour
// read as the one nearer the clock's own time), then CLOCK_REALTIME is set.
// Other programs need no message: the kernel tells every timer that asked
// to be cancelled on a clock change.
#include <time.h>

#include "platform/clockset.h"
#include "posix_localtime.h"

namespace {
constexpr long kNanosecondsPerMillisecond = 1000000;
}  // namespace

bool SetLocalClock(const LocalTimeRecord& time) {
    timespec now;
    if (clock_gettime(CLOCK_REALTIME, &now) != 0) return false;
    time_t seconds = 0;
    if (!LocalRecordToCalendarSeconds(time, now.tv_sec, &seconds)) return false;

    timespec corrected;
    corrected.tv_sec = seconds;
    corrected.tv_nsec = static_cast<long>(time.milliseconds) * kNanosecondsPerMillisecond;
    return clock_settime(CLOCK_REALTIME, &corrected) == 0;
}
