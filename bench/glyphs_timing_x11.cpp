// Times BuildOutlineGlyphs on Linux (255 glyphs into display lists) in a GLX
// context: the first build of the process (fontconfig's start-up included)
// and repeated builds. With --snapshot it also draws a lit, slightly turned
// string with those lists into a PPM, for looking at the result by eye.
// Run by glyphs_bench.py on a private Xvfb; prints one line of key=value.
#include <ctime>

#include "glx_test_context.h"
#include "glyphs_run.h"

namespace {
double ThreadCpuMilliseconds() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}
}  // namespace

int main(int argc, char** argv) {
    GlyphRunOptions options;
    if (!ParseGlyphRunOptions(argc, argv, &options)) return 2;
    GlxTestContext context;
    if (!context.Open(kSnapshotWidth, kSnapshotHeight)) return 1;
    return RunGlyphTiming("linux", options, ThreadCpuMilliseconds);
}
