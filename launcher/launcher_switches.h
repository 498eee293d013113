// What the launcher does for a command line: the switches are plain,
// case-sensitive substrings found anywhere in it, and "-config" wins over
// "-homepage". Shared by the Windows and Linux entry points, which define the
// two requests (launcher_win32.cpp, launcher_linux.cpp).
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "launcher_product.h"

namespace launcher {

enum class Action { Nothing, OpenConfiguration, OpenHomePage };

inline Action ChooseAction(const char* commandLine) {
    if (!commandLine) return Action::Nothing;
    if (strstr(commandLine, "-config")) return Action::OpenConfiguration;
    if (strstr(commandLine, "-homepage")) return Action::OpenHomePage;
    return Action::Nothing;
}

// The platform's requests; each fails silently.
void OpenConfiguration();
void OpenHomePage();

// Makes the one request the command line asks for, if any.
inline void CarryOut(const char* commandLine) {
    switch (ChooseAction(commandLine)) {
    case Action::OpenConfiguration:
        OpenConfiguration();
        break;
    case Action::OpenHomePage:
        OpenHomePage();
        break;
    case Action::Nothing:
        break;
    }
}

// Shell targets are held in buffers of this size.
inline constexpr size_t kTargetSize = 500;

// "Chronovale.scr" on Windows; the Linux saver program is named apart.
inline void FormatSaverFile(char (&buffer)[kTargetSize]) {
    snprintf(buffer, sizeof buffer, "%s.scr", kProductName);
}

inline void FormatHomePage(char (&buffer)[kTargetSize]) {
    snprintf(buffer, sizeof buffer, "http://www.%s/", kWebDomain);
}

}  // namespace launcher
