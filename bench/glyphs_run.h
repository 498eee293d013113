// The measuring run both glyph timing programs share: the command line, the
// first build of the process and repeated builds of 255 glyphs timed by the
// wall clock and by the thread's CPU time, the key=value report line, and
// the optional snapshot. Each program supplies its GL context and CPU clock.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "glyphs_snapshot.h"

struct GlyphRunOptions {
    const char* face = "Arial";
    const char* snapshot = nullptr;
    const char* text = "12:34:56";
    bool wireframe = false;
    int repeat = 20;
};

// False (after printing the usage) for an argument it does not know.
inline bool ParseGlyphRunOptions(int argc, char** argv, GlyphRunOptions* options) {
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--face") == 0 && hasValue) {
            options->face = argv[++i];
        } else if (std::strcmp(argv[i], "--repeat") == 0 && hasValue) {
            options->repeat = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--snapshot") == 0 && hasValue) {
            options->snapshot = argv[++i];
        } else if (std::strcmp(argv[i], "--text") == 0 && hasValue) {
            options->text = argv[++i];
        } else if (std::strcmp(argv[i], "--wireframe") == 0) {
            options->wireframe = true;
        } else {
            std::fprintf(stderr,
                         "usage: %s [--face NAME] [--repeat N] [--wireframe] "
                         "[--snapshot FILE.ppm] [--text TEXT]\n",
                         argv[0]);
            return false;
        }
    }
    return true;
}

inline double BuildMilliseconds(const GlyphRunOptions& options, unsigned base, GlyphMetrics* metrics) {
    const auto start = std::chrono::steady_clock::now();
    BuildOutlineGlyphs(options.face, options.wireframe, base, metrics);
    // Every glyph, as wglUseFontOutlinesA builds them: the figure compares
    // the whole build on both platforms, not what a start-up draws.
    char codes[kOutlineGlyphCount];
    for (int code = 0; code < kOutlineGlyphCount; ++code) codes[code] = static_cast<char>(code);
    PrepareOutlineGlyphs(codes, sizeof codes);
    glFinish();
    const auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// With a GL context current: measures, prints the report line and writes
// the snapshot; returns the exit code. threadCpuMilliseconds reads the CPU
// time of this thread alone, which a busy machine disturbs far less than the
// wall clock.
inline int RunGlyphTiming(const char* platform, const GlyphRunOptions& options,
                          double (*threadCpuMilliseconds)()) {
    constexpr int kListCount = 256;
    std::vector<GlyphMetrics> metrics(kListCount);
    const unsigned base = glGenLists(kListCount);
    const double first = BuildMilliseconds(options, base, metrics.data());
    std::vector<double> times;
    const double cpuStart = threadCpuMilliseconds();
    for (int i = 0; i < options.repeat; ++i) {
        // Each build replaces the lists of the one before.
        times.push_back(BuildMilliseconds(options, base, metrics.data()));
    }
    const double cpuPerBuild = (threadCpuMilliseconds() - cpuStart) / options.repeat;
    std::sort(times.begin(), times.end());
    std::printf(
        "platform=%s face=\"%s\" wireframe=%d glyphs=%d first_ms=%.2f median_ms=%.2f "
        "min_ms=%.2f cpu_ms=%.2f advance_0=%.4f\n",
        platform, options.face, options.wireframe ? 1 : 0, kOutlineGlyphCount, first,
        times[times.size() / 2], times.front(), cpuPerBuild, metrics['0'].cellIncX);
    std::fflush(stdout);

    if (options.snapshot != nullptr) {
        DrawSnapshot(base, metrics.data(), options.text);
        std::vector<unsigned char> rgb(kSnapshotWidth * kSnapshotHeight * 3);
        ReadSnapshot(rgb.data());
        if (!WriteSnapshotPpm(options.snapshot, rgb.data())) {
            std::fprintf(stderr, "cannot write %s\n", options.snapshot);
            return 1;
        }
    }
    glDeleteLists(base, kListCount);
    return 0;
}
