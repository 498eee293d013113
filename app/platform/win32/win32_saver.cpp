// SaverWindowProc and the window-system services the portable saver window
// handlers ask for (style, sizes, monitors, colour depth, close and quit).
// The OpenGL child is created in wgl_view.cpp.
#include "win32_saver.h"

#include "platform/saverhost.h"
#include "saverwindow.h"
#include "win32_framework.h"

namespace {
HWND WindowOf(NativeWindow window) { return reinterpret_cast<HWND>(window); }
}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        SetToolWindowStyle(reinterpret_cast<NativeWindow>(window));
        return SaverOnCreate(reinterpret_cast<NativeWindow>(window), SaverPreviewMode());
    case WM_KEYDOWN:
        if (SaverOnKeyDown(static_cast<unsigned>(wParam)) == KeyOutcome::Handled) return 0;
        return DefaultSaverProc(window, message, wParam, lParam);
    default:
        return DefaultSaverProc(window, message, wParam, lParam);
    }
}

void SetToolWindowStyle(NativeWindow saverWindow) {
    // Replaces the extended style, so the saver shows no task-bar button.
    SetWindowLongA(WindowOf(saverWindow), GWL_EXSTYLE, WS_EX_TOOLWINDOW);
}

void GetClientSize(NativeWindow window, int* width, int* height) {
    RECT client;
    if (!GetClientRect(WindowOf(window), &client)) SetRectEmpty(&client);
    *width = client.right - client.left;
    *height = client.bottom - client.top;
}

int GetMonitorCount() { return GetSystemMetrics(SM_CMONITORS); }

ViewRect GetPrimaryDisplayRect() {
    // The primary monitor's top-left is the origin of screen coordinates; the
    // saver window starts at the virtual screen's top-left, which lies left
    // of or above it when a monitor is placed there.
    return {-GetSystemMetrics(SM_XVIRTUALSCREEN), -GetSystemMetrics(SM_YVIRTUALSCREEN),
            GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

int GetColorDepth(NativeWindow saverWindow) {
    HWND window = WindowOf(saverWindow);
    HDC deviceContext = GetDC(window);
    if (!deviceContext) return 0;
    int bits = GetDeviceCaps(deviceContext, BITSPIXEL);
    ReleaseDC(window, deviceContext);
    return bits;
}

void PostCloseToSaverWindow() {
    // Our own saver window rather than whatever is in the foreground: in
    // preview the foreground window belongs to the display settings.
    if (saverState.saverWindow) PostMessageA(WindowOf(saverState.saverWindow), WM_CLOSE, 0, 0);
}

void PostQuit(int exitCode) { PostQuitMessage(exitCode); }
