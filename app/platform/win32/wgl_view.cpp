// The OpenGL child window on Windows: class registration and creation, its
// window procedure and the paint-driven frame loop. The pixel format and
// context are wgl_context.cpp's; what happens on each event beyond the
// platform's part is left to glview.cpp.
#include "wgl_view.h"

#include <cstdint>

#include "framepacing.h"
#include "glview.h"
#include "main.h"
#include "platform/saverhost.h"
#include "settings_catalogue.h"
#include "wgl_context.h"
#include "platform/probe.h"
#include "win32_framework.h"
#include "win32_rules.h"
#include "wine_drawable.h"

namespace {
constexpr int64_t kMicrosecondsPerMillisecond = 1000;

GlViewRecord* RecordOf(HWND window) {
    return reinterpret_cast<GlViewRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void PaintFrame(HWND window, GlViewRecord* record) {
    MakeWglContextCurrent();
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    RepairWineChildDrawable(window, record->deviceContext);
    GlViewOnPaint();
    PresentWglFrame();
    EndPaint(window, &paint);
    ProbeFramePresented();
    // Without erasing: the next paint message comes as soon as the queue is
    // empty, so input is handled between frames.
    InvalidateRect(window, nullptr, FALSE);
    Sleep(FrameSleepMilliseconds(FrameSleepTimeMs.Get()));
    // The rest of the refresh period when the swap did not wait for the
    // retrace; the timer runs at 1 ms resolution while the saver runs.
    for (int64_t wait; (wait = FramePacingWaitMicroseconds()) > 0;)
        Sleep(static_cast<DWORD>(wait >= kMicrosecondsPerMillisecond
                                     ? wait / kMicrosecondsPerMillisecond
                                     : 1));
}

LRESULT CALLBACK GlViewWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    GlViewRecord* record = RecordOf(window);

    switch (message) {
    case WM_CREATE: {
        auto* creation = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* created = static_cast<GlViewRecord*>(creation->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        bool hardwareAccelerated =
            CreateWglContext(window, created, DoubleBuffering.IsOn(), displayState.colorDepth);
        ProbeContextReady();
        GlViewOnCreate(hardwareAccelerated);
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
        ForgetWglContext();
        return 0;
    default:
        break;
    }
    return DefaultSaverProc(window, message, wParam, lParam);
}
}  // namespace

void CreateGlView(NativeWindow parent, const ViewRect& rect) {
    HINSTANCE instance = SaverInstance();
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
