// The saver's X display: the backend record, error handling, window names,
// and the window-system queries of saverhost.h (client size, monitors,
// colour depth). Creating and running the saver window is x11_saver.cpp's.
#include "x11_backend.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/saverhost.h"

X11SaverRecord x11Saver;
DialogDisplayRecord dialogDisplay;

namespace {
// The first protocol error since the trap began; the handler cannot take a
// context argument, so this is the one place it can leave its result.
struct ErrorTrapState {
    bool trapping = false;
    int firstError = 0;
};
ErrorTrapState errorTrap;

int RecordXError(Display*, XErrorEvent* error) {
    // Outside a trap an error is not worth dying for: the window it concerns
    // was usually destroyed by its owner a moment ago.
    if (errorTrap.trapping && errorTrap.firstError == 0) errorTrap.firstError = error->error_code;
    return 0;
}

int ConnectionLost(Display*) {
    fprintf(stderr, "Chronovale: the connection to the X server was lost.\n");
    _Exit(1);
}

bool QueryAttributes(Window window, XWindowAttributes* attributes) {
    Display* display = x11Saver.display;
    if (!display || !window) return false;
    BeginX11ErrorTrap(display);
    Status ok = XGetWindowAttributes(display, window, attributes);
    return EndX11ErrorTrap(display) == 0 && ok;
}
}  // namespace

Display* SaverDisplay() { return x11Saver.display; }

void InstallX11ErrorHandlers() {
    XSetErrorHandler(RecordXError);
    XSetIOErrorHandler(ConnectionLost);
}

void BeginX11ErrorTrap(Display* display) {
    XSync(display, False);
    // The handler is set again for every trap: a GTK message box installs
    // GDK's own process-wide handler when it first opens its display.
    XSetErrorHandler(RecordXError);
    errorTrap.trapping = true;
    errorTrap.firstError = 0;
}

int EndX11ErrorTrap(Display* display) {
    XSync(display, False);
    errorTrap.trapping = false;
    return errorTrap.firstError;
}

void SetWindowNames(Display* display, Window window, const char* title, const char* className) {
    XStoreName(display, window, title);
    Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, netWmName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(strlen(title)));
    XClassHint hint;
    hint.res_name = const_cast<char*>(className);
    hint.res_class = const_cast<char*>(className);
    XSetClassHint(display, window, &hint);
}

void GetClientSize(NativeWindow window, int* width, int* height) {
    XWindowAttributes attributes;
    if (QueryAttributes(static_cast<Window>(window), &attributes)) {
        *width = attributes.width;
        *height = attributes.height;
    } else {
        *width = 0;
        *height = 0;
    }
}

int GetMonitorCount() {
    Display* display = x11Saver.display;
    if (!display) {
        // Configuration mode asks through the settings dialog's display.
        return dialogDisplay.monitorCount ? std::max(1, dialogDisplay.monitorCount()) : 1;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, x11Saver.root, True, &count);
    if (monitors) XRRFreeMonitors(monitors);
    // A server without RandR monitors still shows one screen.
    return count > 0 ? count : 1;
}

ViewRect GetPrimaryDisplayRect() {
    Display* display = x11Saver.display;
    // Only a window over the whole root (full screen, or hosted on the root)
    // has root coordinates; an ordinary or a host's window gets no rectangle
    // and is drawn in whole.
    bool coversRoot = x11Saver.mode == SaverMode::FullScreen ||
                      (x11Saver.mode == SaverMode::Hosted && x11Saver.hostWindow == x11Saver.root);
    if (!display || !coversRoot) return {0, 0, 0, 0};
    ViewRect rect = {0, 0, DisplayWidth(display, x11Saver.screen),
                     DisplayHeight(display, x11Saver.screen)};
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, x11Saver.root, True, &count);
    if (!monitors) return rect;
    // Without a monitor marked primary the first one plays its part.
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
        if (monitors[i].primary) {
            chosen = i;
            break;
        }
    }
    if (count > 0) {
        rect = {monitors[chosen].x, monitors[chosen].y, monitors[chosen].width,
                monitors[chosen].height};
    }
    XRRFreeMonitors(monitors);
    return rect;
}

int GetColorDepth(NativeWindow saverWindow) {
    XWindowAttributes attributes;
    if (QueryAttributes(static_cast<Window>(saverWindow), &attributes)) return attributes.depth;
    return x11Saver.display ? DefaultDepth(x11Saver.display, x11Saver.screen) : 0;
}
