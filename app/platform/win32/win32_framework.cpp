// The saver's own screensaver framework: mode dispatch, the saver window
// class and its full-screen or preview window, the message loop, the
// framework's message filter and the default saver procedure with its closing
// rules. The decisions themselves are pure functions in win32_rules.cpp; the
// saver's behaviour is left to SaverWindowProc.
#include "win32_framework.h"

#include <mmsystem.h>
#include <windowsx.h>

#include <cstdint>

#include "configure.h"
#include "main.h"
#include "modes.h"
#include "saver_resource_ids.h"
#include "saverwindow.h"
#include "win32_password.h"
#include "win32_rules.h"
#include "win32_saver.h"

namespace {
constexpr int kUnrecognisedModeExit = -1;
constexpr UINT kTimerResolutionMs = 1;
constexpr char kAutoPlayQueryMessage[] = "QueryCancelAutoPlay";

// The framework's state for the one saver window of the process.
struct FrameworkState {
    HINSTANCE instance = nullptr;
    bool previewMode = false;       // drawing inside the display settings' preview
    POINT recordedCursor = {0, 0};  // where mouse movement is measured from
    BYTE recordedAcLine = 0;        // SYSTEM_POWER_STATUS.ACLineStatus at creation
    UINT autoPlayQuery = 0;       // the registered auto-play query, 9x only
    bool closePending = false;    // a close request is on its way
    bool closeConfirmed = false;  // the saver window is being destroyed
    PasswordProvider password;
};
FrameworkState framework;

HWND WindowFromNumber(uint64_t number) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(number));
}

BYTE CurrentAcLineStatus() {
    SYSTEM_POWER_STATUS status;
    if (!GetSystemPowerStatus(&status)) return 0xFF;  // unknown, as the system says it
    return status.ACLineStatus;
}

void RecordStartingPoint() {
    if (!GetCursorPos(&framework.recordedCursor)) framework.recordedCursor = {0, 0};
    framework.recordedAcLine = CurrentAcLineStatus();
}

// One close request at a time: several inputs in a row must not queue one
// password prompt each.
void RequestClose(HWND window) {
    if (framework.closePending) return;
    framework.closePending = true;
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// A close goes ahead unless the 9x password provider refuses it; a refused
// close measures mouse movement from where the pointer is now.
bool ConfirmClose(HWND window) {
    if (framework.previewMode || framework.password.ConfirmClose(window)) return true;
    framework.closePending = false;
    RecordStartingPoint();
    return false;
}

LRESULT CALLBACK FrameworkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (FilterFrameworkMessage(message, wParam, framework.previewMode,
                                   framework.closeConfirmed)) {
    case FilterAction::Swallow:
    case FilterAction::Drop:
        return 0;
    case FilterAction::PlatformDefault:
        return DefWindowProcA(window, message, wParam, lParam);
    case FilterAction::YieldThenPassOn:
        Sleep(0);
        break;
    case FilterAction::CloseThenPassOn:
        RequestClose(window);
        break;
    case FilterAction::ForwardToOwner:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case FilterAction::QuitThenPassOn:
        PostQuitMessage(0);
        break;
    case FilterAction::PassOn:
        break;
    }
    if (message == WM_CREATE) RecordStartingPoint();
    return SaverWindowProc(window, message, wParam, lParam);
}

void RegisterSaverClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = FrameworkWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SAVER));
    windowClass.hCursor = nullptr;  // full screen hides it; preview is the host's
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kSaverClassName;
    CHECK_PLATFORM_CALL(RegisterClassA(&windowClass), "RegisterClass");
}

// All monitors; a system that reports no virtual desktop gets the screen's
// clip box.
RECT FullScreenArea() {
    RECT area;
    area.left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    area.top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    area.right = area.left + GetSystemMetrics(SM_CXVIRTUALSCREEN);
    area.bottom = area.top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (area.right > area.left && area.bottom > area.top) return area;
    HDC screen = GetDC(nullptr);
    if (!screen || GetClipBox(screen, &area) == ERROR) SetRectEmpty(&area);
    if (screen) ReleaseDC(nullptr, screen);
    return area;
}

int RunMessageLoop() {
    MSG message = {};
    int exitCode = 0;
    // The frame pacing sleeps parts of a refresh period; the default timer
    // resolution (15.6 ms) would swallow them whole. Given back when the loop ends.
    bool timerResolutionRaised = timeBeginPeriod(kTimerResolutionMs) == TIMERR_NOERROR;
    for (;;) {
        BOOL result = GetMessageA(&message, nullptr, 0, 0);
        if (result == 0) {
            exitCode = static_cast<int>(message.wParam);
            break;
        }
        if (result == -1) break;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    if (timerResolutionRaised) timeEndPeriod(kTimerResolutionMs);
    framework.password.Release();
    return exitCode;
}

void PrepareSaverWindow(HINSTANCE instance) {
    if (IsNineXClass(GetOsVersionClass())) {
        framework.autoPlayQuery = RegisterWindowMessageA(kAutoPlayQueryMessage);
        if (!framework.previewMode) framework.password.LoadIfWanted();
    }
    RegisterSaverClass(instance);
}

int RunFullScreen(HINSTANCE instance) {
    // One saver at a time: a second start brings the first one forward.
    if (HWND running = FindWindowA(kSaverClassName, kSaverWindowTitle)) {
        SetForegroundWindow(running);
        return 0;
    }
    PrepareSaverWindow(instance);
    RECT area = FullScreenArea();
    HWND window = CreateWindowExA(WS_EX_TOPMOST, kSaverClassName, kSaverWindowTitle,
                                  WS_POPUP | WS_VISIBLE, area.left, area.top,
                                  area.right - area.left, area.bottom - area.top, nullptr,
                                  nullptr, instance, nullptr);
    // The saver itself may refuse its window (8-bit colour); that is a normal end.
    if (!window) return 0;
    SetForegroundWindow(window);
    SetCursor(nullptr);
    return RunMessageLoop();
}

int RunPreview(HINSTANCE instance, uint64_t parentNumber) {
    HWND parent = WindowFromNumber(parentNumber);
    if (!parentNumber || !IsWindow(parent)) return kUnrecognisedModeExit;
    framework.previewMode = true;
    PrepareSaverWindow(instance);
    RECT client;
    if (!GetClientRect(parent, &client)) SetRectEmpty(&client);
    HWND window = CreateWindowExA(0, kSaverClassName, kPreviewWindowTitle, WS_CHILD | WS_VISIBLE,
                                  0, 0, client.right - client.left, client.bottom - client.top,
                                  parent, nullptr, instance, nullptr);
    if (!window) return 0;
    return RunMessageLoop();
}

// The window the configuration dialog and the password change belong to: the
// one named when it is a window, else the foreground window.
HWND OwnerWindow(const SaverCommand& command) {
    HWND named = WindowFromNumber(command.window);
    if (command.windowGiven && command.window && IsWindow(named)) return named;
    return GetForegroundWindow();
}

// No mode letter at all runs the configuration without an owner.
bool HasModeLetter(const char* arguments) {
    for (const char* p = arguments; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '-' && *p != '/') return true;
    return false;
}
}  // namespace

int RunSaverFramework(HINSTANCE instance, const char* commandLine) {
    framework.instance = instance;
    const char* arguments = SkipProgramPath(commandLine ? commandLine : "");
    SaverCommand command = ParseSaverArguments(arguments);
    switch (command.mode) {
    case SaverMode::Configure: {
        HWND owner = HasModeLetter(arguments) ? OwnerWindow(command) : nullptr;
        return RunConfigureMode(reinterpret_cast<uintptr_t>(owner));
    }
    case SaverMode::FullScreen:
        return RunFullScreen(instance);
    case SaverMode::Preview:
        return RunPreview(instance, command.window);
    case SaverMode::ChangePassword:
        if (!IsNineXClass(GetOsVersionClass())) return kUnrecognisedModeExit;
        return ChangeSaverPassword(OwnerWindow(command));
    default:
        return kUnrecognisedModeExit;
    }
}

HINSTANCE SaverInstance() { return framework.instance; }

bool SaverPreviewMode() { return framework.previewMode; }

LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (framework.autoPlayQuery && message == framework.autoPlayQuery) {
        RequestClose(window);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_CLOSE) {
        if (!ConfirmClose(window)) return 0;
        if (window == reinterpret_cast<HWND>(saverState.saverWindow))
            framework.closeConfirmed = true;
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (framework.previewMode) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEMOVE: {
        // Measured on the screen: the saver window and the OpenGL child have
        // different client origins.
        POINT now = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(window, &now);
        if (MouseMoveCloses(framework.recordedCursor, now)) RequestClose(window);
        break;
    }
    case WM_POWERBROADCAST:
        if (PowerBroadcastCloses(wParam, lParam, framework.recordedAcLine, CurrentAcLineStatus()))
            RequestClose(window);
        break;
    default:
        if (InputClosesSaver(message, wParam)) RequestClose(window);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
