// The imagery check's window on Windows: a visible pop-up window with a WGL
// context on a double-buffered RGBA pixel format with depth.
#include "imagery_gl.h"

#include <windows.h>

namespace {
constexpr char kClassName[] = "ImageryCheck";

struct WglWindow {
    HWND window = nullptr;
    HDC deviceContext = nullptr;
    HGLRC context = nullptr;
};
WglWindow wgl;
}  // namespace

bool CreateImageryContext(int width, int height) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassA(&windowClass)) return false;
    wgl.window = CreateWindowExA(0, kClassName, "Imagery check", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                 height, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!wgl.window) return false;
    wgl.deviceContext = GetDC(wgl.window);
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 16;
    int index = ChoosePixelFormat(wgl.deviceContext, &format);
    if (index == 0 || !SetPixelFormat(wgl.deviceContext, index, &format)) return false;
    wgl.context = wglCreateContext(wgl.deviceContext);
    return wgl.context && wglMakeCurrent(wgl.deviceContext, wgl.context);
}

void DestroyImageryContext() {
    wglMakeCurrent(nullptr, nullptr);
    if (wgl.context) wglDeleteContext(wgl.context);
    if (wgl.window) {
        ReleaseDC(wgl.window, wgl.deviceContext);
        DestroyWindow(wgl.window);
    }
    wgl = WglWindow();
}
