// Measuring points of the probe builds (chronovale-probe, ChronovaleProbe.scr):
// the context made current, the first frame on the screen, the frame count at
// teardown, and on Linux the settings dialog's first frame. The OpenGL window
// calls them at those moments; <api>_probe.cpp, which only the probe programs
// link, defines them. In the normal build they compile to nothing.
#pragma once

#ifdef CHRONOVALE_PROBE
void ProbeContextReady();
void ProbeFramePresented();
void ProbeTeardown();
void ProbeDialogFirstFrame();  // Linux only: the Windows bench watches the sheet itself.
#else
inline void ProbeContextReady() {}
inline void ProbeFramePresented() {}
inline void ProbeTeardown() {}
inline void ProbeDialogFirstFrame() {}
#endif
