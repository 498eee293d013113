// What the saver window's portable handlers need from the window system: the
// window's style and size, the monitors, the colour depth, the OpenGL child
// window, and posting close and quit requests to the saver's own loop.
#pragma once

#include "types.h"

struct ViewRect {
    int left;
    int top;
    int width;
    int height;
};

void SetToolWindowStyle(NativeWindow saverWindow);
void GetClientSize(NativeWindow window, int* width, int* height);
int GetMonitorCount();
// The primary monitor as a rectangle of a full-screen saver window, whose
// top-left corner is that of the whole desktop; empty (all 0) when the saver
// window is not one.
ViewRect GetPrimaryDisplayRect();
int GetColorDepth(NativeWindow saverWindow);  // bits per pixel

// Registers the OpenGL window class and creates the OpenGL child window over
// view inside parent; a failure is reported and ends the process.
void CreateGlView(NativeWindow parent, const ViewRect& view);

// A close request to the saver window, handled like any other close.
void PostCloseToSaverWindow();

// Ends the saver's message loop with the given exit code once the current
// event has been handled.
void PostQuit(int exitCode);
