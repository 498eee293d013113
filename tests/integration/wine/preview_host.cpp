// A stand-in for the display settings' preview: creates a window, starts the
// saver with "/p <its handle>" and checks what the saver does inside it.
//   preview_host SAVER input     - input to the preview changes nothing; the
//                                  saver ends with 0 when the window goes
//   preview_host SAVER autoclose - the saver closes itself (BCS set by the
//                                  test) and leaves the host window alone
// Prints one line per check and exits with the number of failed checks (or
// 100 when the set-up itself failed).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
constexpr int kClientWidth = 240;
constexpr int kClientHeight = 180;
constexpr DWORD kAppearTimeoutMs = 30000;
constexpr DWORD kInputSettleMs = 1500;
constexpr DWORD kExitTimeoutMs = 30000;
constexpr int kSetupFailed = 100;
constexpr char kHostClass[] = "ChronovalePreviewHost";

int failures = 0;

void Check(bool ok, const char* what) {
    printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failures;
}

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

// Handles this thread's messages for up to timeoutMs, or until done() holds;
// the saver's child window sends its parent messages that must be answered.
template <typename Done>
bool PumpUntil(DWORD timeoutMs, Done done) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        DWORD waited = GetTickCount() - start;
        if (waited >= timeoutMs) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

bool ClientSizeIs(HWND window, int width, int height) {
    RECT client;
    return GetClientRect(window, &client) && client.right - client.left == width &&
           client.bottom - client.top == height;
}

bool StillRunning(HANDLE process) { return WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

void PostInput(HWND target) {
    PostMessageA(target, WM_KEYDOWN, 'A', 0);
    PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(kClientWidth - 1, kClientHeight - 1));
    PostMessageA(target, WM_ACTIVATEAPP, FALSE, 0);
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (strcmp(argv[2], "input") != 0 && strcmp(argv[2], "autoclose") != 0)) {
        printf("usage: preview_host SAVER input|autoclose\n");
        return kSetupFailed;
    }
    bool autoclose = strcmp(argv[2], "autoclose") == 0;
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kHostClass;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = RegisterClassA(&windowClass)
                    ? CreateWindowExA(0, kHostClass, "Preview Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      20, 20, frame.right - frame.left, frame.bottom - frame.top,
                                      nullptr, nullptr, instance, nullptr)
                    : nullptr;
    if (!host) {
        printf("FAILED: no host window (%lu)\n", GetLastError());
        return kSetupFailed;
    }
    SetForegroundWindow(host);
    PumpUntil(200, [] { return false; });

    char commandLine[1024];
    snprintf(commandLine, sizeof commandLine, "\"%s\" /p %llu", argv[1],
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(host)));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION saver = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &saver)) {
        printf("FAILED: cannot start %s (%lu)\n", commandLine, GetLastError());
        return kSetupFailed;
    }

    HWND preview = nullptr;
    HWND view = nullptr;
    PumpUntil(kAppearTimeoutMs, [&] {
        preview = FindWindowExA(host, nullptr, "WindowsScreenSaverClass", "Preview");
        if (preview) view = FindWindowExA(preview, nullptr, "Chronovale", nullptr);
        return view != nullptr || !StillRunning(saver.hProcess);
    });
    Check(preview != nullptr, "a child titled Preview appears inside the host window");
    if (!preview) {
        TerminateProcess(saver.hProcess, 2);
        return failures;
    }
    Check(GetParent(preview) == host, "the preview is a child of the host window");
    Check(ClientSizeIs(preview, kClientWidth, kClientHeight),
          "the preview fills the host's client area");
    Check(view != nullptr && ClientSizeIs(view, kClientWidth, kClientHeight),
          "the OpenGL window covers the preview");

    if (autoclose) {
        bool ended = PumpUntil(kExitTimeoutMs, [&] { return !StillRunning(saver.hProcess); });
        Check(ended, "the saver closes itself");
        Check(IsWindow(host) != FALSE, "the host window is left open");
    } else {
        PostInput(preview);
        if (view) PostInput(view);
        PumpUntil(kInputSettleMs, [] { return false; });
        Check(StillRunning(saver.hProcess), "input to a preview does not close it");
        DestroyWindow(host);
        bool ended = PumpUntil(kExitTimeoutMs, [&] { return !StillRunning(saver.hProcess); });
        Check(ended, "the saver ends when the host window is destroyed");
    }

    DWORD exitCode = 0;
    if (StillRunning(saver.hProcess)) {
        TerminateProcess(saver.hProcess, 3);
        WaitForSingleObject(saver.hProcess, 5000);
    } else {
        GetExitCodeProcess(saver.hProcess, &exitCode);
        printf("saver exit code %lu\n", exitCode);
        Check(exitCode == 0, "the saver's exit code is 0");
    }
    CloseHandle(saver.hThread);
    CloseHandle(saver.hProcess);
    if (IsWindow(host)) DestroyWindow(host);
    return failures;
}
