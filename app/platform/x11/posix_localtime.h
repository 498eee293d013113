// Turning a local time record back into calendar seconds by the system's
// time zone rules. The hour that repeats when summer time ends is read as
// the one nearer a reference instant (the clock being corrected is never
// far off); a time the zone skips is refused.
#pragma once

#include <time.h>

#include "platform/clockset.h"

bool LocalRecordToCalendarSeconds(const LocalTimeRecord& record, time_t reference, time_t* seconds);
