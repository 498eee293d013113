// Times BuildOutlineGlyphs on Windows (CreateFontA + wglUseFontOutlinesA for
// 255 glyphs) in a WGL context: the first build of the process and repeated
// builds. With --snapshot it also draws the picture of glyphs_snapshot.h
// into a PPM. Run by glyphs_bench.py under Wine; prints one line of key=value.
#include "glyphs_run.h"
#include "wgl_test_window.h"

namespace {
// Wine counts thread time in scheduler ticks, so it is only read over many
// builds.
double ThreadCpuMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    auto ticks = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) / 1e4;  // 100 ns units
}
}  // namespace

int main(int argc, char** argv) {
    GlyphRunOptions options;
    if (!ParseGlyphRunOptions(argc, argv, &options)) return 2;
    WglTestWindow window;
    if (!window.Open(kSnapshotWidth, kSnapshotHeight)) return 1;
    return RunGlyphTiming("wine", options, ThreadCpuMilliseconds);
}
