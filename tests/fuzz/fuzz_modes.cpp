// Fuzz target: the command-line mode parsers take any bytes without reading
// past the end or choosing an impossible mode.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "modes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Split the input: the first line is the command line, the rest the
    // XSCREENSAVER_WINDOW variable.
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string::size_type cut = text.find('\n');
    std::string commandLine = text.substr(0, cut);
    std::string variable = cut == std::string::npos ? "" : text.substr(cut + 1);
    commandLine = commandLine.c_str();  // stop at an embedded zero, as a C string would
    variable = variable.c_str();

    const char* arguments = SkipProgramPath(commandLine.c_str());
    if (arguments < commandLine.c_str() || arguments > commandLine.c_str() + commandLine.size()) abort();

    SaverCommand host = ParseSaverArguments(arguments);
    std::string notes;
    SaverCommand x11 = ParseX11Arguments(arguments, cut == std::string::npos ? nullptr : variable.c_str(), &notes);
    // A window the daemon or the user named is never window 0.
    if (x11.mode == SaverMode::Hosted && x11.windowGiven && x11.window == 0) abort();
    if (!notes.empty() && notes.back() != '\n') abort();
    for (const SaverCommand& command : {host, x11}) {
        if (static_cast<int>(command.mode) < 0 || static_cast<int>(command.mode) > static_cast<int>(SaverMode::None))
            abort();
        if (command.mode == SaverMode::FullScreen && command.window != 0) abort();
    }
    return 0;
}
