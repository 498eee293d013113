// Pacing of the frame loop when the buffer swap does not wait for the
// display's retrace although VsyncEnabled asks for it (a software renderer,
// a driver or X server without swap control): the loop then waits out the
// rest of the refresh period itself, and places the waits so that a frame
// begins just after each change of the calendar second, where the scene
// spawns a new time. Whether the swap waits is measured from the first
// frames' intervals, not guessed. The backends do the waiting (handling
// input meanwhile); glview.cpp feeds the frame starts.
#pragma once

#include <cstdint>

struct FramePacing {
    bool requested = false;  // VsyncEnabled: frames follow the display
    bool paced = false;      // measured: the swap does not wait, so the loop does
    int64_t periodCounts = 0;           // refresh period in performance-counter counts
    int64_t frequency = 0;              // counts per second
    int64_t frameStartCount = 0;        // counter at the current frame's start
    int64_t frameStartSecond = 0;       // calendar second at the current frame's start
    uint32_t framesSeen = 0;
    uint32_t windowIntervals = 0;       // intervals counted in the measuring window
    uint32_t shortIntervals = 0;        // of those, shorter than a retrace wait allows
    bool waitingForSecond = false;      // this frame's wait lasts until the second changes
};
extern FramePacing framePacing;

inline constexpr int kFallbackRefreshHz = 60;

// At the OpenGL window's creation, with the frame clock started: whether
// VsyncEnabled asks for display-paced frames, and the display's refresh rate
// (0 or less when unknown: 60 Hz is assumed).
void StartFramePacing(bool vsyncRequested, int refreshHz);

// At the start of every frame, after the frame clock ticked: the interval
// since the previous frame feeds the measurement, and the frame's start is
// remembered for the wait after it.
void NoteFrameStart();

// After the frame was presented and FrameSleepTimeMs slept: how many
// microseconds the loop still waits before the next frame may begin; 0 to
// begin at once. The backend asks again after each wait (input may have been
// handled meanwhile), until it gets 0.
int64_t FramePacingWaitMicroseconds();
