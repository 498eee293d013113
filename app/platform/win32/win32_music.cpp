// The music player on Windows: the program FindExecutableA associates with
// the document, started hidden with "\"player\" \"document\"", waited for
// until it is ready for input (at most kInputIdleLimitMs, so a player that
// never gets there cannot hold the saver), and closed by WM_CLOSE to every
// top-level window of its process.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>

#include "platform/musicplayer.h"

namespace {
// FindExecutableA reports success with a value above this one.
constexpr INT_PTR kFindExecutableLastError = 32;
constexpr size_t kPlayerPathSize = 261;
constexpr size_t kCommandLineSize = 1000;
constexpr DWORD kInputIdleLimitMs = 10000;

BOOL CALLBACK PostCloseToProcessWindow(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}
}  // namespace

uint32_t StartMusicPlayer(const char* document) {
    // A folder has an associated program too (the file manager); it is no music.
    DWORD attributes = GetFileAttributesA(document);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;

    char player[kPlayerPathSize] = {};
    HINSTANCE found = FindExecutableA(document, "", player);
    if (reinterpret_cast<INT_PTR>(found) <= kFindExecutableLastError) return 0;

    char commandLine[kCommandLineSize];
    int length = snprintf(commandLine, sizeof commandLine, "\"%s\" \"%s\"", player, document);
    if (length < 0 || length >= static_cast<int>(sizeof commandLine)) return 0;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0;

    SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    WaitForInputIdle(process.hProcess, kInputIdleLimitMs);
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}

void CloseMusicPlayer(uint32_t processId) {
    EnumWindows(PostCloseToProcessWindow, static_cast<LPARAM>(processId));
}
