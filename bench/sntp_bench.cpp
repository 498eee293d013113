// Measures the SNTP client against a server on 127.0.0.1: the offset of the
// time it would set against the machine's own clock (which the loopback
// server serves) over repeated exchanges, each against its error bound of
// half the round trip plus one frame, and the cost of one poll while no
// reply is waiting. The clock setter only records; nothing is set.
//
//   sntp_bench [exchanges] [frame-ms] [port]      (defaults 50, 16, 123)
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <thread>
#include <vector>

#include "clock.h"
#include "clocksync.h"
#include "recording_clock_setter.h"
#include "scripted_udp_peer.h"
#include "settings_catalogue.h"

namespace {
// Counts every allocation made through operator new, to show that a poll
// makes none.
size_t allocations = 0;

class SteadyClock : public Clock {
public:
    int64_t PerformanceCounter() override { return Now().count(); }
    int64_t PerformanceFrequency() override { return 1000000000; }
    uint32_t TickMs() override {
        return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(Now()).count());
    }
    int64_t CalendarTime() override { return static_cast<int64_t>(std::time(nullptr)); }

private:
    static std::chrono::nanoseconds Now() { return std::chrono::steady_clock::now().time_since_epoch(); }
};

double WallSeconds() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration<double>(now).count();
}

// The calendar seconds of a local time record, by the C library's rules.
double RecordSeconds(const LocalTimeRecord& t) {
    std::tm local = {};
    local.tm_year = t.year - 1900;
    local.tm_mon = t.month - 1;
    local.tm_mday = t.day;
    local.tm_hour = t.hour;
    local.tm_min = t.minute;
    local.tm_sec = t.second;
    local.tm_isdst = -1;
    return static_cast<double>(std::mktime(&local)) + t.milliseconds / 1000.0;
}

struct Sample {
    double offsetMs;  // set time minus the machine's time when the poll returned
    double boundMs;   // half the round trip plus one frame
};
}  // namespace

void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    int exchanges = argc > 1 ? std::atoi(argv[1]) : 50;
    int frameMs = argc > 2 ? std::atoi(argv[2]) : 16;
    uint16_t port = static_cast<uint16_t>(argc > 3 ? std::atoi(argv[3]) : kSntpPort);
    SteadyClock clock;
    SetActiveClock(&clock);
    SyncClock.Set(1);
    SntpServer.Set("127.0.0.1");
    SetSntpServerPort(port);

    std::vector<Sample> samples;
    int failed = 0;
    for (int i = 0; i < exchanges; ++i) {
        RearmClockSync();
        fake::RecordingClockSetter() = fake::ClockSetter();
        uint32_t sent = clock.TickMs();
        StartClockSync();
        bool set = false;
        double wall = 0;
        uint32_t arrived = sent;
        while (ClockSyncWaiting()) {
            if (PollClockSync()) {
                wall = WallSeconds();
                arrived = clock.TickMs();
                set = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(frameMs));
            if (clock.TickMs() - sent > 5000) break;
        }
        StopClockSync();
        if (!set || fake::RecordingClockSetter().requests.size() != 1) {
            ++failed;
            continue;
        }
        double offset = (RecordSeconds(fake::RecordingClockSetter().requests[0]) - wall) * 1000.0;
        samples.push_back({offset, (arrived - sent) / 2.0 + frameMs});
    }

    double sum = 0, largest = 0;
    int beyond = 0;
    for (const Sample& s : samples) {
        sum += s.offsetMs;
        largest = std::max(largest, std::fabs(s.offsetMs));
        // The record holds whole milliseconds: one more is its rounding.
        if (std::fabs(s.offsetMs) > s.boundMs + 1.0) ++beyond;
    }
    double meanBound = 0;
    for (const Sample& s : samples) meanBound += s.boundMs;
    if (!samples.empty()) meanBound /= samples.size();
    std::printf("exchanges %d, accepted %zu, failed %d, frame %d ms\n", exchanges, samples.size(), failed, frameMs);
    if (!samples.empty()) {
        std::printf("offset mean %.2f ms, largest |offset| %.2f ms, mean bound %.2f ms, beyond bound %d\n",
                    sum / samples.size(), largest, meanBound, beyond);
    }

    // The cost of a poll with nothing waiting: a peer that never answers.
    ScriptedUdpPeer silent;
    RearmClockSync();
    SetSntpServerPort(silent.Port());
    StartClockSync();
    constexpr int kPolls = 200000;
    for (int i = 0; i < 1000; ++i) PollClockSync();  // warm up
    size_t allocationsBefore = allocations;
    auto start = std::chrono::steady_clock::now();
    int corrected = 0;
    for (int i = 0; i < kPolls; ++i) corrected += PollClockSync() ? 1 : 0;
    double pollNs = std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - start).count() / kPolls;
    size_t pollAllocations = allocations - allocationsBefore;
    bool stillWaiting = ClockSyncWaiting();
    StopClockSync();
    std::printf("idle poll %.0f ns (%.5f%% of a %d ms frame), allocations %zu, corrections %d, waiting %s\n", pollNs,
                pollNs / (frameMs * 1e6) * 100.0, frameMs, pollAllocations, corrected, stillWaiting ? "yes" : "no");
    SetActiveClock(nullptr);
    return failed == exchanges ? 1 : 0;
}
