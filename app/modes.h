// Reading the saver's mode from its command line. The screensaver host's
// letters (configure, /c:HWND, /s, /p HWND, /l, /a) are parsed as the host
// contract gives them; on Linux the X11 screensaver conventions -root,
// -window-id ID, -window (also with two dashes) and XSCREENSAVER_WINDOW are
// recognised first.
#pragma once

#include <cstdint>
#include <string>

enum class SaverMode {
    Configure,       // configuration dialog; owner window when windowGiven
    FullScreen,      // the full-screen saver
    Preview,         // draw inside window (the display settings' preview)
    ChangePassword,  // 9x family only
    Windowed,        // an ordinary resizable window (Linux)
    Hosted,          // draw into window, hosted by a screensaver daemon (Linux)
    None,            // unrecognised: exit code -1
};

struct SaverCommand {
    SaverMode mode;
    uint64_t window;   // the window the mode names; 0 when none was given
    bool windowGiven;  // Configure/ChangePassword: a handle followed the letter
};

// Skips the program path at the start of a full command line: a quoted path
// up to its closing quote, otherwise everything up to the first blank, then
// the blanks after it.
const char* SkipProgramPath(const char* commandLine);

// The host contract's mode rule over the text after the program path.
SaverCommand ParseSaverArguments(const char* arguments);

// The Linux rule: the X11 conventions (with one dash or two), then the host
// contract. The arguments are the program's arguments joined by single
// blanks; xscreensaverWindow is the XSCREENSAVER_WINDOW variable, or nullptr
// when unset. What the rule leaves out (options the daemon's users add, a bad
// window id, a second mode) is told in notes, one line each, never refused
// unless no window is left to draw into.
SaverCommand ParseX11Arguments(const char* arguments, const char* xscreensaverWindow,
                               std::string* notes = nullptr);
