// Setting the clock on Windows: SetLocalTime, then WM_TIMECHANGE to every
// top-level window. The notice is posted without waiting for the windows to
// answer, so a hung program cannot stall the saver's frame loop.
#include <windows.h>

#include "platform/clockset.h"

bool SetLocalClock(const LocalTimeRecord& time) {
    SYSTEMTIME local;
    local.wYear = time.year;
    local.wMonth = time.month;
    local.wDayOfWeek = time.dayOfWeek;
    local.wDay = time.day;
    local.wHour = time.hour;
    local.wMinute = time.minute;
    local.wSecond = time.second;
    local.wMilliseconds = time.milliseconds;
    if (!SetLocalTime(&local)) return false;
    SendNotifyMessageA(HWND_BROADCAST, WM_TIMECHANGE, 0, 0);
    return true;
}
