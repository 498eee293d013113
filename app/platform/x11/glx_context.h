// The GLX side of the OpenGL window: the framebuffer configuration, the
// rendering context, presenting a frame, and the swap interval. glx_view.cpp
// owns the window and calls these in the order of its life; the teardown's
// ReleaseGlContext (glcontext.h) undoes CreateGlxContext.
#pragma once

#include <X11/Xlib.h>
#include <X11/Xutil.h>

// False when the display offers no GLX of version 1.3 or later.
bool GlxAvailable(Display* display);

// Chooses an RGBA, window-drawable configuration with the largest depth
// buffer of 32, 24 or 16 bits, double-buffered when asked, preferring the
// desktop's colour depth; a display with none ends the process through
// ReportFailedCall. The visual stays owned by the context record.
XVisualInfo* ChooseGlxVisual(Display* display, int screen, bool doubleBuffered, int colorDepth);

// Creates the rendering context for the chosen configuration and makes it
// current on window (both checked). Returns false when the renderer is a
// software one, true when it is hardware-accelerated.
bool CreateGlxContext(Window window);

void MakeGlxContextCurrent();

// Swaps the buffers of a double-buffered window, flushes a single-buffered one.
void PresentGlxFrame();
