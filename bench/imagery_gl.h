// The window and OpenGL context of the imagery check and benchmark: one
// double-buffered RGBA window of the given size with its context current.
// tests/integration/x11/imagery_context_glx.cpp and
// tests/integration/wine/imagery_context_wgl.cpp supply it per platform.
#pragma once

// False when no window or context could be made.
bool CreateImageryContext(int width, int height);
void DestroyImageryContext();
