// A repair for Wine's X11 driver, which in some builds leaves a child
// window's OpenGL picture off the screen (wine_drawable.cpp). Does nothing
// on Windows itself.
#pragma once

#include <windows.h>

// Call after BeginPaint, which sets the device context's drawable anew.
void RepairWineChildDrawable(HWND window, HDC deviceContext);
