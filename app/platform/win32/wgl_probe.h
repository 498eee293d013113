// Measuring points of the probe build (ChronovaleProbe.scr): the first frame
// on the screen and the frame count at teardown. In the normal build they
// compile to nothing.
#pragma once

#ifdef CHRONOVALE_PROBE
void ProbeFramePresented();
void ProbeTeardown();
#else
inline void ProbeFramePresented() {}
inline void ProbeTeardown() {}
#endif
