// The OpenGL window on Windows: the window class, the pixel format and WGL
// context of GlViewRecord, and the paint-driven frame loop. The portable
// behaviour of each event is in glview.cpp.
#pragma once

#include <windows.h>

struct GlViewRecord {
    HDC deviceContext = nullptr;     // the window's own (CS_OWNDC) device context
    HGLRC renderingContext = nullptr;
};

// The OpenGL window's device context while one of its messages is handled;
// the outline-font builder draws its glyphs through it.
extern HDC currentDeviceContext;

inline constexpr char kGlViewClassName[] = "Chronovale";
