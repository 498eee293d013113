// Times BuildOutlineGlyphs on Linux (255 glyphs into display lists) in a GLX
// context: the first build of the process (fontconfig's start-up included)
// and repeated builds. With --snapshot it also draws a lit, slightly turned
// string with those lists into a PPM, for looking at the result by eye.
// Run by glyphs_bench.py on a private Xvfb; prints one line of key=value.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "glx_test_context.h"
#include "glyphs_snapshot.h"
#include "platform/outlinefont.h"

namespace {

constexpr int kListCount = 256;

// CPU time of this thread alone, which a busy machine disturbs far less
// than the wall clock.
double ThreadCpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double BuildMilliseconds(const char* face, bool wireframe, unsigned base, GlyphMetrics* metrics) {
    const auto start = std::chrono::steady_clock::now();
    BuildOutlineGlyphs(face, wireframe, base, metrics);
    glFinish();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    const char* face = "Arial";
    const char* snapshot = nullptr;
    const char* text = "12:34:56";
    bool wireframe = false;
    int repeat = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--face" && i + 1 < argc) {
            face = argv[++i];
        } else if (arg == "--repeat" && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--snapshot" && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (arg == "--text" && i + 1 < argc) {
            text = argv[++i];
        } else if (arg == "--wireframe") {
            wireframe = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--face NAME] [--repeat N] [--wireframe] "
                         "[--snapshot FILE.ppm] [--text TEXT]\n",
                         argv[0]);
            return 2;
        }
    }

    GlxTestContext context;
    if (!context.Open(kSnapshotWidth, kSnapshotHeight)) return 1;
    std::vector<GlyphMetrics> metrics(kListCount);
    const unsigned base = glGenLists(kListCount);
    const double first = BuildMilliseconds(face, wireframe, base, metrics.data());
    std::vector<double> times;
    const double cpuStart = ThreadCpuMilliseconds();
    for (int i = 0; i < repeat; ++i) {
        // Each build replaces the lists of the one before.
        times.push_back(BuildMilliseconds(face, wireframe, base, metrics.data()));
    }
    const double cpuPerBuild = (ThreadCpuMilliseconds() - cpuStart) / repeat;
    std::sort(times.begin(), times.end());
    std::printf(
        "platform=linux face=\"%s\" wireframe=%d glyphs=%d first_ms=%.2f median_ms=%.2f "
        "min_ms=%.2f cpu_ms=%.2f advance_0=%.4f\n",
        face, wireframe ? 1 : 0, kOutlineGlyphCount, first, times[times.size() / 2], times.front(),
        cpuPerBuild, metrics['0'].cellIncX);

    if (snapshot != nullptr) {
        DrawSnapshot(base, metrics.data(), text);
        std::vector<unsigned char> rgb(kSnapshotWidth * kSnapshotHeight * 3);
        ReadSnapshot(rgb.data());
        if (!WriteSnapshotPpm(snapshot, rgb.data())) {
            std::fprintf(stderr, "cannot write %s\n", snapshot);
            return 1;
        }
    }
    glDeleteLists(base, kListCount);
    return 0;
}
