// A GLX context on a small mapped window of the display named by DISPLAY,
// for the display-list tests and the glyph timing program. The caller runs
// under its own Xvfb (run_outline_test.py); no window manager is assumed.
#pragma once

#include <X11/Xlib.h>

#include "gl_headers.h"
#include <GL/glx.h>

class GlxTestContext {
public:
    GlxTestContext() = default;
    ~GlxTestContext() { Close(); }
    GlxTestContext(const GlxTestContext&) = delete;
    GlxTestContext& operator=(const GlxTestContext&) = delete;

    // Opens the display, a double-buffered RGBA window with a depth buffer
    // and makes its context current. False (with a message on stderr) when
    // any step fails.
    bool Open(int width, int height);
    void Close();

private:
    Display* display_ = nullptr;
    Window window_ = 0;
    Colormap colormap_ = 0;
    GLXContext context_ = nullptr;
};
