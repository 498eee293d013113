// The pixel format and WGL context of the OpenGL window, presenting a frame,
// the swap interval, and the release of the context and the device context
// at teardown. The window itself is wgl_view.cpp's.
#include "wgl_context.h"

#include <GL/gl.h>

#include <cstdint>

#include "main.h"
#include "platform/glcontext.h"
#include "win32_rules.h"

namespace {
constexpr char kSwapControlExtension[] = "WGL_EXT_swap_control";
constexpr BYTE kDepthBufferBits = 32;

// The one OpenGL window of the process, for the services that take no
// arguments.
struct WglContextRecord {
    HWND window = nullptr;
    GlViewRecord* record = nullptr;
    bool doubleBuffered = false;
};
WglContextRecord wgl;

// Many drivers list the WGL extensions only in the WGL extension string, not
// in the OpenGL one.
bool SwapControlListed(HDC deviceContext) {
    using ArbExtensions = const char*(WINAPI*)(HDC);
    using ExtExtensions = const char*(WINAPI*)();
    const char* glList = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    if (ExtensionListHas(glList, kSwapControlExtension)) return true;
    auto arb = reinterpret_cast<ArbExtensions>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringARB")));
    if (arb && deviceContext && ExtensionListHas(arb(deviceContext), kSwapControlExtension))
        return true;
    auto ext = reinterpret_cast<ExtExtensions>(
        reinterpret_cast<void*>(wglGetProcAddress("wglGetExtensionsStringEXT")));
    return ext && ExtensionListHas(ext(), kSwapControlExtension);
}
}  // namespace

bool CreateWglContext(HWND window, GlViewRecord* record, bool doubleBuffered, int colorDepth) {
    wgl.window = window;
    wgl.record = record;
    wgl.doubleBuffered = doubleBuffered;
    record->deviceContext = GetDC(window);

    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (doubleBuffered) format.dwFlags |= PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = static_cast<BYTE>(colorDepth);
    format.cDepthBits = kDepthBufferBits;

    int index = ChoosePixelFormat(record->deviceContext, &format);
    CHECK_PLATFORM_CALL(index, "ChoosePixelFormat");
    CHECK_PLATFORM_CALL(SetPixelFormat(record->deviceContext, index, &format), "SetPixelFormat");
    CHECK_PLATFORM_CALL(DescribePixelFormat(record->deviceContext, index, sizeof format, &format),
                        "DescribePixelFormat");
    bool hardwareAccelerated =
        !((format.dwFlags & PFD_GENERIC_FORMAT) && !(format.dwFlags & PFD_GENERIC_ACCELERATED));

    record->renderingContext = wglCreateContext(record->deviceContext);
    CHECK_PLATFORM_CALL(reinterpret_cast<intptr_t>(record->renderingContext), "wglCreateContext");
    CHECK_PLATFORM_CALL(wglMakeCurrent(record->deviceContext, record->renderingContext),
                        "wglMakeCurrent");
    return hardwareAccelerated;
}

void MakeWglContextCurrent() {
    if (wgl.record) wglMakeCurrent(wgl.record->deviceContext, wgl.record->renderingContext);
}

void PresentWglFrame() {
    if (!wgl.record) return;
    if (wgl.doubleBuffered)
        SwapBuffers(wgl.record->deviceContext);
    else
        glFlush();
}

void ForgetWglContext() { wgl = WglContextRecord(); }

bool SwitchOffSwapWait() {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    HDC deviceContext = wgl.record ? wgl.record->deviceContext : nullptr;
    if (!SwapControlListed(deviceContext)) return false;
    auto swapInterval = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (!swapInterval) return false;
    return swapInterval(0) != FALSE;
}

int DisplayRefreshRateHz() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0;
    // 0 and 1 stand for the hardware's default rate, which is not told.
    return mode.dmDisplayFrequency > 1 ? static_cast<int>(mode.dmDisplayFrequency) : 0;
}

void RestoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }

void ReleaseGlContext() {
    if (!wgl.record) return;
    wglMakeCurrent(nullptr, nullptr);
    if (wgl.record->renderingContext) wglDeleteContext(wgl.record->renderingContext);
    wgl.record->renderingContext = nullptr;
    if (wgl.record->deviceContext) ReleaseDC(wgl.window, wgl.record->deviceContext);
    wgl.record->deviceContext = nullptr;
}
