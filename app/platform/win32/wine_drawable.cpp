// Works around Wine X11 builds that leave the X drawable of a child window's
// device context unset: the copy of the child's offscreen OpenGL picture into
// the top-level X window after each swap or flush then goes nowhere and the
// screen stays black. Runs on every paint of the OpenGL window, right after
// BeginPaint; where the driver reports no drawable, the context is pointed at
// the top-level window's X window, which is what a correct driver sets for a
// child anyway. On Windows itself, and under a Wine that reports a drawable,
// it does nothing.
#include "wine_drawable.h"

#include <cstdint>

namespace {
// Wine's X11 driver escape and the codes it answers.
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
}  // namespace

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
