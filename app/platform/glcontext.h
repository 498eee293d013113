// The OpenGL binding services of the one OpenGL window: the swap-interval
// switch, and the steps of the teardown that release the platform's handles.
// WGL on Windows, GLX on Linux.
#pragma once

// Switches off waiting for the vertical retrace when the driver offers a
// swap-interval extension; false (and nothing changed) when it does not.
bool SwitchOffSwapWait();

// The refresh rate of the display the OpenGL window is on, in whole hertz;
// 0 when the platform does not tell.
int DisplayRefreshRateHz();

// Restores the display mode stored in the platform's settings.
void RestoreDisplayMode();

// Makes no rendering context current, deletes the context and releases the
// window's drawing surface.
void ReleaseGlContext();
