// The saver modes that open a window on X11 (full screen, preview, hosted,
// windowed): main_x11.cpp hands them here after reading the mode. Configure
// and the refused modes never reach this file.
#pragma once

#include "modes.h"

// Creates the saver window for the mode, runs the start-up sequence and the
// frame loop, and returns the process exit code.
int RunSaver(const SaverCommand& command);

// From the OpenGL window's creation on, SIGTERM and SIGINT end the saver
// through its normal teardown (which restores monitor power saving) instead
// of killing it outright.
void ArmStopSignals();
