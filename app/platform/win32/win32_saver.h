// The saver window's procedure, which the framework calls after its own
// filter: creation runs the portable start-up sequence, key presses go to the
// portable key handling, everything else to the default saver procedure.
#pragma once

#include <windows.h>

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
