// Shell requests on Windows: the "open" verb through ShellExecuteExA with the
// desktop as owner, and the "config" verb on a saver file through
// ShellExecuteA with no owner.
#include "platform/shell.h"

#include <cstring>

#include <windows.h>

#include <shellapi.h>

namespace {
// ShellExecuteA reports success with a value above this one.
constexpr INT_PTR kShellExecuteLastError = 32;
}

bool ShellOpen(const char* target) {
    SHELLEXECUTEINFOA request;
    memset(&request, 0, sizeof request);
    request.cbSize = sizeof request;
    request.hwnd = GetDesktopWindow();
    request.lpVerb = "open";
    request.lpFile = target;
    request.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&request) != FALSE;
}

bool ShellConfigure(const char* saverFile) {
    HINSTANCE result = ShellExecuteA(nullptr, "config", saverFile, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > kShellExecuteLastError;
}
