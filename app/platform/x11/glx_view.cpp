// The OpenGL window on X11: its creation over the view rectangle, its event
// procedure, one frame, and its end. The GLX calls are glx_context.cpp's; the
// frame's content and the teardown order are the core's (glview.h).
#include "x11_backend.h"

#include <X11/Xlib.h>

#include <cstdint>

#include "glview.h"
#include "glx_context.h"
#include "main.h"
#include "platform/messagebox.h"
#include "platform/probe.h"
#include "platform/saverhost.h"
#include "product.h"
#include "settings_catalogue.h"
#include "x11_saver.h"

namespace {
constexpr char kNoGlxMessage[] =
    "Chronovale needs OpenGL, but this X display offers no GLX (version 1.3 or later).\r\n\r\n"
    "Start the saver on a display with OpenGL support.";

// Motion and clicks over the view close a full-screen saver; in other modes
// they belong to the windows around it.
constexpr long kFullScreenViewEvents = StructureNotifyMask | PointerMotionMask | ButtonPressMask;
constexpr long kEmbeddedViewEvents = StructureNotifyMask;

struct GlViewRecord {
    Window window = 0;
    bool windowAlive = false;
    Colormap colormap = 0;
    int width = 0;
    int height = 0;
    bool exists = false;  // from creation until the teardown starts
};
GlViewRecord glView;

unsigned WindowExtent(int size) { return size > 0 ? static_cast<unsigned>(size) : 1u; }
}  // namespace

void CreateGlView(NativeWindow parent, const ViewRect& view) {
    Display* display = x11Saver.display;
    if (!GlxAvailable(display)) {
        ShowMessageBox(kNoGlxMessage, nullptr, MessageIcon::Error, false);
        ExitProgram(1);
    }
    XVisualInfo* visual = ChooseGlxVisual(display, x11Saver.screen, DoubleBuffering.IsOn(),
                                          displayState.colorDepth);

    XSetWindowAttributes attributes = {};
    glView.colormap = XCreateColormap(display, x11Saver.root, visual->visual, AllocNone);
    attributes.colormap = glView.colormap;
    attributes.border_pixel = 0;
    // No background: painting never erases what the last frame left.
    attributes.background_pixmap = None;
    attributes.event_mask =
        x11Saver.mode == SaverMode::FullScreen ? kFullScreenViewEvents : kEmbeddedViewEvents;
    BeginX11ErrorTrap(display);
    Window window = XCreateWindow(display, static_cast<Window>(parent), view.left, view.top,
                                  WindowExtent(view.width), WindowExtent(view.height), 0,
                                  visual->depth, InputOutput, visual->visual,
                                  CWColormap | CWBorderPixel | CWBackPixmap | CWEventMask,
                                  &attributes);
    if (EndX11ErrorTrap(display) != 0) window = 0;
    CHECK_PLATFORM_CALL(window, "XCreateWindow");
    SetWindowNames(display, window, kProduct.productName, kProduct.productName);
    glView.window = window;
    glView.windowAlive = true;
    glView.width = view.width;
    glView.height = view.height;
    glView.exists = true;

    // The creation event: context, then the core's start of the frame clock
    // and of the power-saving suspension; from here a stop signal must run
    // the teardown.
    bool hardwareAccelerated = CreateGlxContext(window);
    ProbeContextReady();
    ArmStopSignals();
    GlViewOnCreate(hardwareAccelerated);
    XMapWindow(display, window);
    // The size event follows the creation, as on Windows.
    GlViewOnSize(view.width, view.height);
}

bool GlViewExists() { return glView.exists; }

bool IsGlViewWindow(Window window) { return glView.exists && window == glView.window; }

void HandleGlViewEvent(const XEvent& event) {
    switch (event.type) {
    case ConfigureNotify:
        if (event.xconfigure.width != glView.width || event.xconfigure.height != glView.height) {
            glView.width = event.xconfigure.width;
            glView.height = event.xconfigure.height;
            MakeGlxContextCurrent();
            GlViewOnSize(glView.width, glView.height);
        }
        break;
    case MotionNotify:
        if (!GlViewIgnoresMouseMove()) DefaultSaverEvent(event);
        break;
    case DestroyNotify:
        // Destroyed with its parent (a preview host going away): the teardown
        // runs all the same.
        glView.windowAlive = false;
        CloseSaver();
        break;
    case MapNotify:
    case UnmapNotify:
    case ReparentNotify:
    case GravityNotify:
        break;
    default:
        DefaultSaverEvent(event);
        break;
    }
}

void PaintGlView() {
    if (!glView.exists || !glView.windowAlive) return;
    MakeGlxContextCurrent();
    GlViewOnPaint();
    PresentGlxFrame();
    ProbeFramePresented();
}

void PlaceGlView(const ViewRect& view) {
    if (!glView.exists || !glView.windowAlive) return;
    XMoveResizeWindow(x11Saver.display, glView.window, view.left, view.top,
                      WindowExtent(view.width), WindowExtent(view.height));
}

void DestroyGlView() {
    if (!glView.exists) return;
    Display* display = x11Saver.display;
    // The teardown deletes OpenGL objects, so its context must be current.
    if (glView.windowAlive) MakeGlxContextCurrent();
    ProbeTeardown();
    glView.exists = false;
    GlViewOnDestroy();
    BeginX11ErrorTrap(display);
    if (glView.windowAlive) XDestroyWindow(display, glView.window);
    if (glView.colormap) XFreeColormap(display, glView.colormap);
    EndX11ErrorTrap(display);
    glView = GlViewRecord();
}
