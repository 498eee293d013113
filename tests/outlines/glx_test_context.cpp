// The test programs' GLX window: plain Xlib and GLX 1.2, nothing of the
// saver's own window code, so these tests do not depend on it.
#include "glx_test_context.h"

#include <cstdio>

bool GlxTestContext::Open(int width, int height) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        std::fprintf(stderr, "cannot open the X display\n");
        return false;
    }
    int attributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8,   GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE,
        8,        GLX_DEPTH_SIZE,   16,           None};
    XVisualInfo* visual = glXChooseVisual(display_, DefaultScreen(display_), attributes);
    if (visual == nullptr) {
        std::fprintf(stderr, "no GLX visual\n");
        Close();
        return false;
    }
    const Window root = RootWindow(display_, visual->screen);
    colormap_ = XCreateColormap(display_, root, visual->visual, AllocNone);
    XSetWindowAttributes set = {};
    set.colormap = colormap_;
    set.event_mask = StructureNotifyMask;
    window_ = XCreateWindow(display_, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                            visual->visual, CWColormap | CWEventMask, &set);
    context_ = glXCreateContext(display_, visual, nullptr, True);
    XFree(visual);
    if (context_ == nullptr) {
        std::fprintf(stderr, "glXCreateContext failed\n");
        Close();
        return false;
    }
    XMapWindow(display_, window_);
    for (XEvent event;;) {
        XNextEvent(display_, &event);
        if (event.type == MapNotify) break;
    }
    if (!glXMakeCurrent(display_, window_, context_)) {
        std::fprintf(stderr, "glXMakeCurrent failed\n");
        Close();
        return false;
    }
    return true;
}

void GlxTestContext::Close() {
    if (display_ == nullptr) return;
    if (context_ != nullptr) {
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
    }
    if (window_ != 0) XDestroyWindow(display_, window_);
    if (colormap_ != 0) XFreeColormap(display_, colormap_);
    XCloseDisplay(display_);
    display_ = nullptr;
    context_ = nullptr;
    window_ = 0;
    colormap_ = 0;
}
