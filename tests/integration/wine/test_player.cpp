// Test tool standing in for a program the shell starts: a music player, a
// browser, the saver started by the launcher's "config" verb. It appends to
// the file named by CHRONOVALE_TEST_LOG (a Windows path), one line per event:
//   pid N             its process id
//   cmdline TEXT      its whole command line
//   show N            the show command its starter asked for, -1 for none
//   close N           window N received WM_CLOSE (and closes)
//   ignored N         window N received it and stays (mode "ignore")
// CHRONOVALE_TEST_PLAYER_WINDOWS: top-level windows to create (default 0),
// titled "Test Player N". CHRONOVALE_TEST_PLAYER_MODE: "ignore" ignores
// WM_CLOSE; "busy" creates its windows but never reads its messages (it never
// becomes ready for input); otherwise a windowless player ends at once and a
// windowed one when its last window closed. Every player ends by itself
// after two minutes.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
constexpr int kMaxWindows = 8;
constexpr UINT kLifetimeMs = 120000;
constexpr UINT_PTR kLifetimeTimer = 1;

HANDLE logFile = INVALID_HANDLE_VALUE;
HWND windows[kMaxWindows];
int windowCount = 0;
int openWindows = 0;
bool ignoreClose = false;

void LogLine(const char* kind, const char* text) {
    if (logFile == INVALID_HANDLE_VALUE) return;
    static char line[40000];
    int length = snprintf(line, sizeof line, "%s %s\n", kind, text);
    if (length < 0) return;
    if (length >= static_cast<int>(sizeof line)) length = sizeof line - 1;
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(length), &written, nullptr);
}

LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        for (int i = 0; i < windowCount; ++i) {
            if (windows[i] != window) continue;
            char number[16];
            snprintf(number, sizeof number, "%d", i);
            LogLine(ignoreClose ? "ignored" : "close", number);
        }
        if (!ignoreClose) DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        if (--openWindows == 0) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* logPath = getenv("CHRONOVALE_TEST_LOG");
    if (logPath) {
        logFile = CreateFileA(logPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    char pid[16];
    snprintf(pid, sizeof pid, "%lu", GetCurrentProcessId());
    LogLine("pid", pid);
    LogLine("cmdline", GetCommandLineA());
    // How the starter asked the first window to be shown (-1: not at all).
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    char show[16];
    snprintf(show, sizeof show, "%d",
             (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
    LogLine("show", show);

    const char* count = getenv("CHRONOVALE_TEST_PLAYER_WINDOWS");
    const char* mode = getenv("CHRONOVALE_TEST_PLAYER_MODE");
    windowCount = count ? atoi(count) : 0;
    if (windowCount < 0) windowCount = 0;
    if (windowCount > kMaxWindows) windowCount = kMaxWindows;
    ignoreClose = mode && strcmp(mode, "ignore") == 0;
    if (windowCount == 0) return 0;

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PlayerProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "ChronovaleTestPlayer";
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    RegisterClassA(&windowClass);
    for (int i = 0; i < windowCount; ++i) {
        char title[32];
        snprintf(title, sizeof title, "Test Player %d", i);
        windows[i] = CreateWindowExA(0, "ChronovaleTestPlayer", title, WS_OVERLAPPEDWINDOW,
                                     20 + 30 * i, 20 + 30 * i, 160, 100, nullptr, nullptr,
                                     instance, nullptr);
        if (windows[i]) ++openWindows;
    }
    if (mode && strcmp(mode, "busy") == 0) {
        // Never reads a message, so it never becomes ready for input.
        Sleep(kLifetimeMs);
        return 0;
    }
    SetTimer(nullptr, kLifetimeTimer, kLifetimeMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (message.message == WM_TIMER && message.hwnd == nullptr) break;
        DispatchMessageA(&message);
    }
    return 0;
}
