// Local time record to calendar seconds: mktime once as standard time and
// once as summer time, keeping only readings that show the same fields again
// (a skipped time shows different ones), the nearest to the reference.
#include "posix_localtime.h"

#include <cstdlib>
#include <initializer_list>

namespace {
constexpr int kYearBase = 1900;

bool ShowsRecord(const tm& shown, const LocalTimeRecord& record) {
    return shown.tm_year == record.year - kYearBase && shown.tm_mon == record.month - 1 &&
           shown.tm_mday == record.day && shown.tm_hour == record.hour &&
           shown.tm_min == record.minute && shown.tm_sec == record.second;
}
}  // namespace

bool LocalRecordToCalendarSeconds(const LocalTimeRecord& record, time_t reference, time_t* seconds) {
    bool found = false;
    time_t best = 0;
    for (int isDst : {0, 1}) {
        tm local = {};
        local.tm_year = record.year - kYearBase;
        local.tm_mon = record.month - 1;
        local.tm_mday = record.day;
        local.tm_hour = record.hour;
        local.tm_min = record.minute;
        local.tm_sec = record.second;
        local.tm_isdst = isDst;
        time_t candidate = mktime(&local);
        // mktime's result of -1 is also one second before 1970; the record
        // check below tells the two apart.
        tm shown = {};
        if (!localtime_r(&candidate, &shown) || !ShowsRecord(shown, record)) continue;
        if (!found || llabs(static_cast<long long>(candidate - reference)) <
                          llabs(static_cast<long long>(best - reference))) {
            best = candidate;
            found = true;
        }
    }
    if (found) *seconds = best;
    return found;
}
