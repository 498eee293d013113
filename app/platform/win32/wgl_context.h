// The WGL side of the OpenGL window: the pixel format, the rendering context,
// presenting a frame, and the swap interval. wgl_view.cpp owns the window and
// calls these in the order of its life; the teardown's ReleaseGlContext
// (glcontext.h) undoes CreateWglContext.
#pragma once

#include <windows.h>

#include "wgl_view.h"

// Takes the window's own device context into record, sets an RGBA pixel
// format of colorDepth colour bits and a 32-bit depth buffer, double-buffered
// when asked, then creates the rendering context and makes it current (each
// step checked). Returns false when the format is the generic, unaccelerated
// one. The window and record stay known until ForgetWglContext.
bool CreateWglContext(HWND window, GlViewRecord* record, bool doubleBuffered, int colorDepth);

void MakeWglContextCurrent();

// Swaps the buffers of a double-buffered window, flushes a single-buffered one.
void PresentWglFrame();

// After the window's destruction: no window or record is known any more.
void ForgetWglContext();
