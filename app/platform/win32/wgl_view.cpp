// The OpenGL child window on Windows: class registration and creation, the
// pixel format and WGL context, the paint-driven frame loop and the release
// of the platform's handles at teardown. What happens on each event beyond
// the platform's part is left to glview.cpp.
#include "wgl_view.h"

#include <GL/gl.h>

#include <cstdint>

#include "glview.h"
#include "main.h"
#include "platform/glcontext.h"
#include "platform/saverhost.h"
#include "saverwindow.h"
#include "settings_catalogue.h"
#include "wgl_probe.h"
#include "win32_framework.h"
#include "win32_rules.h"

HDC currentDeviceContext = nullptr;

namespace {
constexpr char kSwapControlExtension[] = "WGL_EXT_swap_control";
constexpr BYTE kDepthBufferBits = 32;

// The one OpenGL window of the process, for the teardown services that take
// no arguments.
struct WglViewState {
    HWND window = nullptr;
    GlViewRecord* record = nullptr;
};
WglViewState view;

// Wine's X11 driver escape. Some Wine builds leave the X drawable of a child
// window's device context unset, so the copy of the child's offscreen OpenGL
// picture into the top-level X window after each swap or flush goes nowhere
// and the screen stays black. Where the driver reports no drawable, the
// context is pointed at the top-level window's X window, which is what a
// correct driver sets for a child anyway. Real Windows never takes this path.
constexpr int kWineX11Escape = 6789;
constexpr int kWineSetDrawable = 0;
constexpr int kWineGetDrawable = 1;
constexpr int kX11IncludeInferiors = 1;
constexpr char kWineTopXWindowProperty[] = "__wine_x11_whole_window";

struct WineSetDrawable {
    int code;
    uint64_t drawable;
    int mode;
    RECT dcRect;  // the child's client area in the top-level X window
};

struct WineGetDrawable {
    int code;
    uint64_t drawable;
    uint64_t glDrawable;
    int pixelFormat;
};

bool RunningUnderWine() {
    static const bool underWine = [] {
        HMODULE ntdll = GetModuleHandleA("ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version");
    }();
    return underWine;
}

// Call after BeginPaint, which sets the context's drawable anew.
void RepairWineChildDrawable(HWND window, HDC deviceContext) {
    if (!RunningUnderWine()) return;
    int query = kWineGetDrawable;
    WineGetDrawable current = {};
    if (ExtEscape(deviceContext, kWineX11Escape, sizeof query, reinterpret_cast<LPCSTR>(&query),
                  sizeof current, reinterpret_cast<LPSTR>(&current)) <= 0 ||
        current.drawable)
        return;
    HWND top = GetAncestor(window, GA_ROOT);
    auto topDrawable = reinterpret_cast<uintptr_t>(GetPropA(top, kWineTopXWindowProperty));
    RECT topRect;
    if (!top || top == window || !topDrawable || !GetWindowRect(top, &topRect)) return;

    WineSetDrawable repair = {};
    repair.code = kWineSetDrawable;
    repair.drawable = topDrawable;
    repair.mode = kX11IncludeInferiors;
    GetClientRect(window, &repair.dcRect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&repair.dcRect), 2);
    OffsetRect(&repair.dcRect, -topRect.left, -topRect.top);
    ExtEscape(deviceContext, kWineX11Escape, sizeof repair, reinterpret_cast<LPCSTR>(&repair), 0,
              nullptr);
}

GlViewRecord* RecordOf(HWND window) {
    return reinterpret_cast<GlViewRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void SetUpContext(HWND window, GlViewRecord* record) {
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    view.window = window;
    view.record = record;
    record->deviceContext = GetDC(window);
    currentDeviceContext = record->deviceContext;

    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof format;
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL;
    if (DoubleBuffering.IsOn()) format.dwFlags |= PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = static_cast<BYTE>(displayState.colorDepth);
    format.cDepthBits = kDepthBufferBits;

    int index = ChoosePixelFormat(record->deviceContext, &format);
    CHECK_PLATFORM_CALL(index, "ChoosePixelFormat");
    CHECK_PLATFORM_CALL(SetPixelFormat(record->deviceContext, index, &format), "SetPixelFormat");
    CHECK_PLATFORM_CALL(DescribePixelFormat(record->deviceContext, index, sizeof format, &format),
                        "DescribePixelFormat");
    if ((format.dwFlags & PFD_GENERIC_FORMAT) && !(format.dwFlags & PFD_GENERIC_ACCELERATED))
        displayState.hardwareAccelerated = false;

    record->renderingContext = wglCreateContext(record->deviceContext);
    CHECK_PLATFORM_CALL(reinterpret_cast<intptr_t>(record->renderingContext), "wglCreateContext");
    CHECK_PLATFORM_CALL(wglMakeCurrent(record->deviceContext, record->renderingContext),
                        "wglMakeCurrent");
}

void PaintFrame(HWND window, GlViewRecord* record) {
    wglMakeCurrent(record->deviceContext, record->renderingContext);
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    RepairWineChildDrawable(window, record->deviceContext);
    GlViewOnPaint();
    if (DoubleBuffering.IsOn())
        SwapBuffers(record->deviceContext);
    else
        glFlush();
    EndPaint(window, &paint);
    ProbeFramePresented();
    // Without erasing: the next paint message comes as soon as the queue is
    // empty, so input is handled between frames.
    InvalidateRect(window, nullptr, FALSE);
    Sleep(FrameSleepMilliseconds(FrameSleepTimeMs.Get()));
}

LRESULT CALLBACK GlViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlViewRecord* record = RecordOf(window);
    currentDeviceContext = record ? record->deviceContext : nullptr;

    switch (message) {
    case WM_CREATE: {
        auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetUpContext(window, static_cast<GlViewRecord*>(creation->lpCreateParams));
        GlViewOnCreate();
        return 0;
    }
    case WM_SIZE:
        if (!record) break;
        GlViewOnSize(LOWORD(lParam), HIWORD(lParam));
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_PAINT:
        if (!record) break;
        PaintFrame(window, record);
        return 0;
    case WM_MOUSEMOVE:
        if (GlViewIgnoresMouseMove()) return 0;
        return DefaultSaverProc(window, message, wParam, lParam);
    case WM_DESTROY:
        if (!record) break;
        ProbeTeardown();
        GlViewOnDestroy();
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        delete record;
        view = WglViewState();
        currentDeviceContext = nullptr;
        return 0;
    default:
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}

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

void CreateGlView(NativeWindow parent, const ViewRect& rect) {
    HINSTANCE instance = static_cast<HINSTANCE>(saverState.instanceHandle);
    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = GlViewWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kGlViewClassName;
    CHECK_PLATFORM_CALL(RegisterClassA(&windowClass), "RegisterClass");

    auto* record = new GlViewRecord;
    HWND window = CreateWindowExA(0, kGlViewClassName, kGlViewClassName,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                                  rect.left, rect.top, rect.width, rect.height,
                                  reinterpret_cast<HWND>(parent), nullptr, instance, record);
    CHECK_PLATFORM_CALL(reinterpret_cast<intptr_t>(window), "CreateWindow");
}

bool SwitchOffSwapWait() {
    using SwapIntervalProc = BOOL(WINAPI*)(int);
    HDC deviceContext = view.record ? view.record->deviceContext : currentDeviceContext;
    if (!SwapControlListed(deviceContext)) return false;
    auto swapInterval = reinterpret_cast<SwapIntervalProc>(
        reinterpret_cast<void*>(wglGetProcAddress("wglSwapIntervalEXT")));
    if (!swapInterval) return false;
    return swapInterval(0) != FALSE;
}

void RestoreDisplayMode() { ChangeDisplaySettingsA(nullptr, 0); }

void ReleaseGlContext() {
    if (!view.record) return;
    wglMakeCurrent(nullptr, nullptr);
    if (view.record->renderingContext) wglDeleteContext(view.record->renderingContext);
    view.record->renderingContext = nullptr;
    if (view.record->deviceContext) ReleaseDC(view.window, view.record->deviceContext);
    view.record->deviceContext = nullptr;
}
