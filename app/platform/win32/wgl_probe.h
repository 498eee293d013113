// Measuring points of the probe build (ChronovaleProbe.scr): the context made
// current, the first frame on the screen and the frame count at teardown,
// called by wgl_view.cpp at those moments. Defined in wgl_probe.cpp, which
// only the probe program links; in the normal build they compile to nothing.
#pragma once

#ifdef CHRONOVALE_PROBE
void ProbeContextReady();
void ProbeFramePresented();
void ProbeTeardown();
#else
inline void ProbeContextReady() {}
inline void ProbeFramePresented() {}
inline void ProbeTeardown() {}
#endif
