// The imagery check's window on Linux: a mapped X11 window with a GLX
// context on a double-buffered RGBA visual with depth.
#include "imagery_gl.h"

#include <GL/glx.h>
#include <X11/Xlib.h>

namespace {
struct GlxWindow {
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
};
GlxWindow glx;
}  // namespace

bool CreateImageryContext(int width, int height) {
    glx.display = XOpenDisplay(nullptr);
    if (!glx.display) return false;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8,
                        GLX_BLUE_SIZE, 8, GLX_DEPTH_SIZE, 16, None};
    int screen = DefaultScreen(glx.display);
    XVisualInfo* visual = glXChooseVisual(glx.display, screen, attributes);
    if (!visual) return false;
    XSetWindowAttributes set = {};
    set.colormap = XCreateColormap(glx.display, RootWindow(glx.display, screen), visual->visual, AllocNone);
    set.event_mask = StructureNotifyMask;
    glx.window = XCreateWindow(glx.display, RootWindow(glx.display, screen), 0, 0,
                               static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                               visual->depth, InputOutput, visual->visual, CWColormap | CWEventMask, &set);
    XStoreName(glx.display, glx.window, "Imagery check");
    XMapWindow(glx.display, glx.window);
    XEvent event;
    do {
        XNextEvent(glx.display, &event);
    } while (event.type != MapNotify);
    glx.context = glXCreateContext(glx.display, visual, nullptr, True);
    XFree(visual);
    return glx.context && glXMakeCurrent(glx.display, glx.window, glx.context);
}

void DestroyImageryContext() {
    if (!glx.display) return;
    glXMakeCurrent(glx.display, None, nullptr);
    if (glx.context) glXDestroyContext(glx.display, glx.context);
    if (glx.window) XDestroyWindow(glx.display, glx.window);
    XCloseDisplay(glx.display);
    glx = GlxWindow();
}
