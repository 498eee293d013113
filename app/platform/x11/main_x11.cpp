// The Linux saver's entry: reads the mode from the arguments (and the
// XSCREENSAVER_WINDOW variable) and runs configuration mode, the saver
// window of x11_saver.cpp, or ends with the refusal code.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "configure.h"
#include "modes.h"
#include "product.h"
#include "x11_saver.h"

#ifdef CHRONOVALE_PROBE
#include "desktop_module.h"
#include "platform/probe.h"
#endif

namespace {
constexpr int kExitUnknownMode = -1;
}  // namespace

int main(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
#ifdef CHRONOVALE_PROBE
    // Only the measuring build watches for the dialog's first frame.
    dialogFirstFrameObserver = ProbeDialogFirstFrame;
#endif
    std::string notes;
    SaverCommand command = ParseX11Arguments(arguments.c_str(), getenv("XSCREENSAVER_WINDOW"), &notes);
    // What the parser left out goes to standard error, one line each, where
    // the daemon's log keeps it; the saver runs on.
    for (size_t start = 0, end; (end = notes.find('\n', start)) != std::string::npos; start = end + 1)
        fprintf(stderr, "%s: %s\n", kProduct.productName, notes.substr(start, end - start).c_str());
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
