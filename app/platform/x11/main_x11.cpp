// The Linux saver's entry: reads the mode from the arguments (and the
// XSCREENSAVER_WINDOW variable) and runs configuration mode, the saver
// window of x11_saver.cpp, or ends with the refusal code.
#include <cstdlib>
#include <string>

#include "configure.h"
#include "modes.h"
#include "x11_saver.h"

namespace {
constexpr int kExitUnknownMode = -1;
}

int main(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
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
