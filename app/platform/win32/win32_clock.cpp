// The system clock on Windows: the performance counter, the multimedia
// millisecond tick and the C library's calendar time.
#include "platform/systemclock.h"

#include <ctime>

#include <windows.h>

#include <mmsystem.h>

namespace {
class Win32Clock final : public Clock {
public:
    int64_t PerformanceCounter() override {
        LARGE_INTEGER count;
        QueryPerformanceCounter(&count);
        return count.QuadPart;
    }
    int64_t PerformanceFrequency() override {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return frequency.QuadPart;
    }
    uint32_t TickMs() override { return timeGetTime(); }
    int64_t CalendarTime() override { return static_cast<int64_t>(time(nullptr)); }
    // time() reads the system time as GetSystemTimeAsFileTime gives it; the
    // same reading here keeps the two clocks on the same ticks.
    int64_t CalendarMicroseconds() override {
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        int64_t units = static_cast<int64_t>((static_cast<uint64_t>(now.dwHighDateTime) << 32) |
                                             now.dwLowDateTime);
        return (units - kFileTimeToUnixEpoch) / kFileTimeUnitsPerMicrosecond;
    }

private:
    static constexpr int64_t kFileTimeToUnixEpoch = 116444736000000000LL;  // 100 ns units
    static constexpr int64_t kFileTimeUnitsPerMicrosecond = 10;
};
}  // namespace

Clock& SystemClock() {
    static Win32Clock clock;
    return clock;
}
