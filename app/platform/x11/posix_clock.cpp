// The real clock on Linux: CLOCK_MONOTONIC in nanoseconds as the
// performance counter, its milliseconds cut to 32 bits as the tick (which
// wraps like the Windows one), and CLOCK_REALTIME's whole seconds as calendar
// time. time() is not used: it reads the kernel's coarse clock, which sees a
// new second up to a scheduler tick late, and the flying times are timed to
// the second's start.
#include <time.h>

#include <cstdint>

#include "platform/systemclock.h"

namespace {
constexpr int64_t kNanosecondsPerSecond = 1000000000;
constexpr int64_t kNanosecondsPerMillisecond = 1000000;

int64_t MonotonicNanoseconds() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}

class PosixClock : public Clock {
public:
    int64_t PerformanceCounter() override { return MonotonicNanoseconds(); }
    int64_t PerformanceFrequency() override { return kNanosecondsPerSecond; }
    uint32_t TickMs() override {
        return static_cast<uint32_t>(MonotonicNanoseconds() / kNanosecondsPerMillisecond);
    }
    int64_t CalendarTime() override {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<int64_t>(now.tv_sec);
    }
    int64_t CalendarMicroseconds() override {
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        return static_cast<int64_t>(now.tv_sec) * kMicrosecondsPerSecond + now.tv_nsec / 1000;
    }
};
}  // namespace

Clock& SystemClock() {
    static PosixClock clock;
    return clock;
}
