// The test programs' WGL window.
#include "wgl_test_window.h"

#include <cstdio>

namespace {

const char* const kClassName = "ChronovaleOutlineTest";

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

bool Failed(const char* step) {
    std::fprintf(stderr, "%s failed with error %lu\n", step, GetLastError());
    return false;
}

}  // namespace

bool WglTestWindow::Open(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(kClassName, "Outline test", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                            nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window_ == nullptr) return Failed("CreateWindowA");
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 24;
    format.cDepthBits = 16;
    const int chosen = ChoosePixelFormat(dc_, &format);
    if (chosen == 0) return Failed("ChoosePixelFormat");
    if (!SetPixelFormat(dc_, chosen, &format)) return Failed("SetPixelFormat");
    context_ = wglCreateContext(dc_);
    if (context_ == nullptr) return Failed("wglCreateContext");
    if (!wglMakeCurrent(dc_, context_)) return Failed("wglMakeCurrent");
    return true;
}

void WglTestWindow::Close() {
    if (context_ != nullptr) {
        wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(context_);
    }
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
    if (window_ != nullptr) DestroyWindow(window_);
    context_ = nullptr;
    dc_ = nullptr;
    window_ = nullptr;
}
