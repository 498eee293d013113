// Times BuildOutlineGlyphs on Windows (CreateFontA + wglUseFontOutlinesA for
// 255 glyphs) in a WGL context: the first build of the process and repeated
// builds. With --snapshot it also draws the picture of glyphs_snapshot.h
// into a PPM. Run by glyphs_bench.py under Wine; prints one line of key=value.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "glyphs_snapshot.h"
#include "platform/outlinefont.h"
#include "wgl_test_window.h"

namespace {

constexpr int kListCount = 256;

// CPU time of this thread alone, which a busy machine disturbs far less
// than the wall clock; Wine counts it in scheduler ticks, so it is only
// read over many builds.
double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 1e4;  // 100 ns units
}

double BuildMilliseconds(const char* face, bool wireframe, unsigned base, GlyphMetrics* metrics) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    BuildOutlineGlyphs(face, wireframe, base, metrics);
    glFinish();
    QueryPerformanceCounter(&end);
    return 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

}  // namespace

int main(int argc, char** argv) {
    const char* face = "Arial";
    const char* snapshot = nullptr;
    const char* text = "12:34:56";
    bool wireframe = false;
    int repeat = 20;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--face") == 0 && i + 1 < argc) {
            face = argv[++i];
        } else if (std::strcmp(argv[i], "--repeat") == 0 && i + 1 < argc) {
            repeat = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (std::strcmp(argv[i], "--text") == 0 && i + 1 < argc) {
            text = argv[++i];
        } else if (std::strcmp(argv[i], "--wireframe") == 0) {
            wireframe = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--face NAME] [--repeat N] [--wireframe] "
                         "[--snapshot FILE.ppm] [--text TEXT]\n",
                         argv[0]);
            return 2;
        }
    }
    WglTestWindow window;
    if (!window.Open(kSnapshotWidth, kSnapshotHeight)) return 1;
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
        "platform=wine face=\"%s\" wireframe=%d glyphs=%d first_ms=%.2f median_ms=%.2f "
        "min_ms=%.2f cpu_ms=%.2f advance_0=%.4f\n",
        face, wireframe ? 1 : 0, kOutlineGlyphCount, first, times[times.size() / 2], times.front(),
        cpuPerBuild, metrics['0'].cellIncX);
    std::fflush(stdout);
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
