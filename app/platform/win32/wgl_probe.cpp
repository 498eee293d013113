// The probe build's measurements, appended as text lines to the file named by
// CHRONOVALE_PROBE_FILE: "probe context-ready <ns since 1970, UTC>" once the
// context is current, "probe first-frame <ns>" after the first frame and
// "probe frames <n> cpu-ns <t> wall-ns <t>" at teardown, counted from the
// first frame. The wall clock is the one the Linux side of a benchmark reads
// too.
#include "platform/probe.h"

#include <windows.h>

#include <cstdio>
#include <cstdint>
#include <cstdlib>

namespace {
constexpr int64_t kFileTimeToUnixEpoch = 116444736000000000LL;  // 100 ns units
constexpr int64_t kNanosecondsPerFileTimeUnit = 100;

struct ProbeRecord {
    bool firstFrameSeen = false;
    uint64_t frames = 0;
    int64_t firstFrameWall = 0;
    int64_t firstFrameCpu = 0;
};
ProbeRecord probe;

int64_t FileTimeValue(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);
}

int64_t WallNanoseconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (FileTimeValue(now) - kFileTimeToUnixEpoch) * kNanosecondsPerFileTimeUnit;
}

int64_t ProcessCpuNanoseconds() {
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return 0;
    return (FileTimeValue(kernel) + FileTimeValue(user)) * kNanosecondsPerFileTimeUnit;
}

void AppendLine(const char* line) {
    const char* path = getenv("CHRONOVALE_PROBE_FILE");
    if (!path || !*path) return;
    FILE* file = fopen(path, "a");
    if (!file) return;
    fputs(line, file);
    fclose(file);
}
}  // namespace

void ProbeContextReady() {
    char line[96];
    snprintf(line, sizeof line, "probe context-ready %lld\n",
             static_cast<long long>(WallNanoseconds()));
    AppendLine(line);
}

void ProbeFramePresented() {
    ++probe.frames;
    if (probe.firstFrameSeen) return;
    probe.firstFrameSeen = true;
    probe.firstFrameWall = WallNanoseconds();
    probe.firstFrameCpu = ProcessCpuNanoseconds();
    char line[96];
    snprintf(line, sizeof line, "probe first-frame %lld\n",
             static_cast<long long>(probe.firstFrameWall));
    AppendLine(line);
}

void ProbeTeardown() {
    if (!probe.firstFrameSeen) return;
    char line[160];
    snprintf(line, sizeof line, "probe frames %llu cpu-ns %lld wall-ns %lld\n",
             static_cast<unsigned long long>(probe.frames - 1),
             static_cast<long long>(ProcessCpuNanoseconds() - probe.firstFrameCpu),
             static_cast<long long>(WallNanoseconds() - probe.firstFrameWall));
    AppendLine(line);
}
