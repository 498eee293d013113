// Measuring points of the probe builds for the scene's tests and benchmark,
// linked into the probe programs only and installed before main() runs:
// - one line per flying time as it reaches the viewer's plane, "probe
//   crossing <wall ns> <text> lead <lead> frame <frames> cpu-ns <cpu ns>
//   flight <seconds>", the wall time interpolated to z = 0 and the flight
//   time the object was given at its spawn;
// - one line for the first frame and per change of the calendar second,
//   "probe second <calendar seconds> seen <wall ns>", the wall time at
//   which the first frame that read it began drawing, just after the scene
//   read the clock: a time spawned late because the machine held the frame
//   loop up is told from one the scene spawned late;
// - when that frame began more than 5 ms after the change, "probe late
//   second <calendar seconds> frames <start> <drawn> <start> <drawn> now
//   <start>": the wall times at which the two frames before it began and
//   finished drawing, and its own start, to tell a frame that overran the
//   change from a wait that overslept it;
// - CHRONOVALE_PROBE_SNAPSHOT="<seconds>:<path>": half a second after the
//   first crossing at or after that many seconds, the finished frame is read
//   back and written as a binary PPM, and "probe snapshot <path>" is
//   reported. Timed from a crossing, every snapshot of a seeded run shows the
//   times at the same places, the nearest one large. (Under Wine a GL child window never reaches the X screen, so
//   this is also how its picture is seen.)
// - CHRONOVALE_PROBE_DROP_BACK_BUFFER=1: every frame starts from a black
//   colour buffer, as after a swap that keeps nothing, so that trails must
//   come from the kept picture.
// - CHRONOVALE_PROBE_FRAME_STEP_MS=<ms>: the core reads a clock that starts
//   on a fixed whole second and moves on by exactly that much after every
//   finished frame, so that a seeded run draws the same frames, the same
//   times and the same snapshot however fast the machine is. (Crossings are
//   still reported against the wall clock, so they mean nothing then.)
// Lines go to the file named by CHRONOVALE_PROBE_FILE, else to stderr.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "clock.h"
#include "flyingtime.h"
#include "glview.h"
#include "platform/opengl.h"
#include "render.h"
#include "scene.h"
#include "settings_catalogue.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace {
constexpr int64_t kNanosecondsPerSecond = 1000000000;
constexpr double kSnapshotDelaySeconds = 0.5;

#ifdef _WIN32
constexpr int64_t kFileTimeToUnixEpoch = 116444736000000000LL;  // 100 ns units

int64_t FileTimeValue(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);
}

int64_t WallNanoseconds() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    return (FileTimeValue(now) - kFileTimeToUnixEpoch) * 100;
}

int64_t ProcessCpuNanoseconds() {
    FILETIME creation, exit, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user)) return 0;
    return (FileTimeValue(kernel) + FileTimeValue(user)) * 100;
}
#else
int64_t ClockNanoseconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<int64_t>(now.tv_sec) * kNanosecondsPerSecond + now.tv_nsec;
}
int64_t WallNanoseconds() { return ClockNanoseconds(CLOCK_REALTIME); }
int64_t ProcessCpuNanoseconds() { return ClockNanoseconds(CLOCK_PROCESS_CPUTIME_ID); }
#endif

void WriteLine(const char* line) {
    const char* path = getenv("CHRONOVALE_PROBE_FILE");
    if (path && *path) {
        FILE* file = fopen(path, "a");
        if (!file) return;
        fputs(line, file);
        fclose(file);
        return;
    }
    fputs(line, stderr);
    fflush(stderr);
}

struct SnapshotRequest {
    bool pending = false;
    double atSeconds = 0;
    double takeAt = -1;  // elapsed seconds; set by the qualifying crossing
    char path[400] = {};
};
SnapshotRequest snapshot;
bool dropBackBuffer = false;

// Frame-stepped time: the counter runs in nanoseconds from zero, and the
// calendar starts on a fixed whole second.
class SteppedClock : public Clock {
public:
    static constexpr int64_t kStartCalendarTime = 1800000000;  // 2027-01-15 08:00:00 UTC

    int64_t PerformanceCounter() override { return counter; }
    int64_t PerformanceFrequency() override { return kNanosecondsPerSecond; }
    uint32_t TickMs() override { return static_cast<uint32_t>(counter / 1000000); }
    int64_t CalendarTime() override { return kStartCalendarTime + counter / kNanosecondsPerSecond; }

    void Step() { counter += stepNanoseconds; }
    int64_t stepNanoseconds = 0;

private:
    int64_t counter = 0;
};
SteppedClock steppedClock;

void ReportCrossing(const CFlyingTime& object) {
    int64_t wallNow = WallNanoseconds();
    Clock& clock = ActiveClock();
    // Back to the instant the frame's position belongs to, then back along
    // the flight to z = 0.
    double sinceFrame = static_cast<double>(clock.PerformanceCounter() - frameClock.prevCount) /
                        static_cast<double>(frameClock.frequency);
    double sinceZero = object.position.z / object.velocity.z;
    int64_t crossing = wallNow - static_cast<int64_t>((sinceFrame + sinceZero) * kNanosecondsPerSecond);
    int flight = static_cast<int>(kFlightDistance / object.velocity.z + 0.5);
    char line[300];
    snprintf(line, sizeof line, "probe crossing %lld %s lead %d frame %u cpu-ns %lld flight %d\n",
             static_cast<long long>(crossing), object.text, static_cast<int>(scene.state.lead),
             frameClock.frameCount, static_cast<long long>(ProcessCpuNanoseconds()), flight);
    WriteLine(line);
    if (snapshot.pending && snapshot.takeAt < 0 && frameClock.elapsed >= snapshot.atSeconds) {
        snapshot.takeAt = frameClock.elapsed + kSnapshotDelaySeconds;
    }
}

void WriteSnapshot() {
    int width = CurrentFrameInfo().view.width;
    int height = CurrentFrameInfo().view.height;
    if (width <= 0 || height <= 0) return;
    std::vector<unsigned char> rows(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(DoubleBuffering.IsOn() ? GL_BACK : GL_FRONT);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    FILE* file = fopen(snapshot.path, "wb");
    if (!file) return;
    fprintf(file, "P6\n%d %d\n255\n", width, height);
    // OpenGL gives the bottom row first; the picture file starts at the top.
    for (int y = height - 1; y >= 0; --y) {
        fwrite(rows.data() + static_cast<size_t>(y) * width * 3, 1, static_cast<size_t>(width) * 3, file);
    }
    fclose(file);
    char line[500];
    snprintf(line, sizeof line, "probe snapshot %s\n", snapshot.path);
    WriteLine(line);
}

int64_t lastCalendarSecond = -1;

// Wall times of the latest frames: [0] the one before the previous, [1] the
// previous, [2] the current one.
struct FrameWallTimes {
    int64_t start = 0;
    int64_t drawn = 0;
};
FrameWallTimes recentFrames[3];
constexpr int64_t kLateSecondNanoseconds = 5000000;

void ReportCalendarSecond(int64_t frameStart) {
    int64_t second = ActiveClock().CalendarTime();
    // The first frame reports too: a time spawned in the second frame waited
    // through the whole first one.
    if (second != lastCalendarSecond) {
        char line[200];
        snprintf(line, sizeof line, "probe second %lld seen %lld\n", static_cast<long long>(second),
                 static_cast<long long>(frameStart));
        WriteLine(line);
        if (lastCalendarSecond >= 0 && frameStart - second * kNanosecondsPerSecond > kLateSecondNanoseconds) {
            snprintf(line, sizeof line, "probe late second %lld frames %lld %lld %lld %lld now %lld\n",
                     static_cast<long long>(second), static_cast<long long>(recentFrames[0].start),
                     static_cast<long long>(recentFrames[0].drawn),
                     static_cast<long long>(recentFrames[1].start),
                     static_cast<long long>(recentFrames[1].drawn), static_cast<long long>(frameStart));
            WriteLine(line);
        }
    }
    lastCalendarSecond = second;
}

void OnFrameStarting() {
    recentFrames[0] = recentFrames[1];
    recentFrames[1] = recentFrames[2];
    recentFrames[2] = {WallNanoseconds(), 0};
    // On the stepped clock the seconds are not the wall clock's.
    if (steppedClock.stepNanoseconds == 0) ReportCalendarSecond(recentFrames[2].start);
    if (dropBackBuffer) glClear(GL_COLOR_BUFFER_BIT);
}

void OnFrameFinished() {
    recentFrames[2].drawn = WallNanoseconds();
    if (snapshot.pending && snapshot.takeAt >= 0 && frameClock.elapsed >= snapshot.takeAt) {
        snapshot.pending = false;
        WriteSnapshot();
    }
    if (steppedClock.stepNanoseconds > 0) steppedClock.Step();
}

bool Install() {
    flightCrossingObserver = ReportCrossing;
    const char* request = getenv("CHRONOVALE_PROBE_SNAPSHOT");
    if (request && sscanf(request, "%lf:%399[^\n]", &snapshot.atSeconds, snapshot.path) == 2) {
        snapshot.pending = true;
    }
    const char* drop = getenv("CHRONOVALE_PROBE_DROP_BACK_BUFFER");
    dropBackBuffer = drop && strcmp(drop, "1") == 0;
    const char* step = getenv("CHRONOVALE_PROBE_FRAME_STEP_MS");
    int stepMs = step ? atoi(step) : 0;
    if (stepMs > 0) {
        steppedClock.stepNanoseconds = static_cast<int64_t>(stepMs) * 1000000;
        SetActiveClock(&steppedClock);
    }
    renderObservers = {OnFrameStarting, OnFrameFinished};
    return true;
}

[[maybe_unused]] const bool probeInstalled = Install();
}  // namespace
