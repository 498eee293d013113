// The Linux saver's entry: reads the mode from the arguments (and the
// XSCREENSAVER_WINDOW variable) and runs configuration mode, the saver
// window of x11_saver.cpp, or ends with the refusal code.
#include <cstdlib>
#include <string>

#include "configure.h"
#include "modes.h"
#include "x11_saver.h"

#ifdef CHRONOVALE_PROBE
#include <time.h>

#include <cstdio>

#include "gtk_pages.h"
#endif

namespace {
constexpr int kExitUnknownMode = -1;

#ifdef CHRONOVALE_PROBE
// Measuring build only: when the settings dialog's first frame is painted,
// on CLOCK_MONOTONIC like the saver's own first-frame line.
void ReportDialogFirstFrame() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    fprintf(stderr, "probe dialog-first-frame %lld\n",
            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
    fflush(stderr);
}
#endif
}  // namespace

int main(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
#ifdef CHRONOVALE_PROBE
    settingsDialogFirstFrameObserver = ReportDialogFirstFrame;
#endif
    SaverCommand command = ParseX11Arguments(arguments.c_str(), getenv("XSCREENSAVER_WINDOW"));
    switch (command.mode) {
    case SaverMode::Configure:
        return RunConfigureMode(command.window);
    case SaverMode::FullScreen:
    case SaverMode::Preview:
    case SaverMode::Windowed:
    case SaverMode::Hosted:
        return RunSaver(command);
    case SaverMode::ChangePassword:
        // Only the 9x family had saver passwords; Linux is not of it.
    case SaverMode::None:
    default:
        return kExitUnknownMode;
    }
}
