// The probe build's measurements on standard error, one line per event for
// the benchmarks: "probe context-ready <ns>", "probe first-frame <ns>",
// "probe dialog-first-frame <ns>" (CLOCK_MONOTONIC, which the benchmarks read
// too) and, at teardown, "probe frames <n> cpu-ns <t>", both counted from the
// first frame.
#include "platform/probe.h"

#include <time.h>

#include <cstdint>
#include <cstdio>

#include "glview.h"

namespace {
constexpr int64_t kNanosecondsPerSecond = 1000000000;

struct ProbeRecord {
    bool firstFrameSeen = false;
    int64_t firstFrameCpuNs = 0;
    uint32_t firstFrameCount = 0;
};
ProbeRecord probe;

int64_t ClockNs(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}
}  // namespace

void ProbeContextReady() {
    fprintf(stderr, "probe context-ready %lld\n", static_cast<long long>(ClockNs(CLOCK_MONOTONIC)));
}

void ProbeFramePresented() {
    if (probe.firstFrameSeen) return;
    probe.firstFrameSeen = true;
    probe.firstFrameCpuNs = ClockNs(CLOCK_PROCESS_CPUTIME_ID);
    probe.firstFrameCount = frameClock.frameCount;
    fprintf(stderr, "probe first-frame %lld\n", static_cast<long long>(ClockNs(CLOCK_MONOTONIC)));
}

void ProbeTeardown() {
    fprintf(stderr, "probe frames %u cpu-ns %lld\n", frameClock.frameCount - probe.firstFrameCount,
            static_cast<long long>(ClockNs(CLOCK_PROCESS_CPUTIME_ID) - probe.firstFrameCpuNs));
}

void ProbeDialogFirstFrame() {
    fprintf(stderr, "probe dialog-first-frame %lld\n",
            static_cast<long long>(ClockNs(CLOCK_MONOTONIC)));
    fflush(stderr);
}
