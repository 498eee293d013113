// The OpenGL window on Windows: the window class, the record its creation
// hands to the window procedure, and the paint-driven frame loop
// (wgl_view.cpp). The pixel format and context are wgl_context.cpp's; the
// portable behaviour of each event is in glview.cpp.
#pragma once

#include <windows.h>

// One per OpenGL window, from its creation message to its destruction.
struct GlViewRecord {
    HDC deviceContext = nullptr;     // the window's own (CS_OWNDC) device context
    HGLRC renderingContext = nullptr;
};

inline constexpr char kGlViewClassName[] = "Chronovale";
