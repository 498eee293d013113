// The OpenGL window's portable behaviour: the display state, the frame
// clock, the per-frame step with the banner fade and the automatic close,
// the OpenGL state set-up on resize and the teardown order. The scene sees
// none of it but the FrameInfo built here. The backends (wgl_view.cpp,
// glx_view.cpp) own the window, the pixel format and the context, and call
// these handlers from their events.
#pragma once

#include <cstdint>

#include "frameinfo.h"

struct DisplayState {
    int viewWidth = 0;
    int viewHeight = 0;
    int colorDepth = 0;
    bool hardwareAccelerated = true;
};
extern DisplayState displayState;

struct FrameClock {
    int64_t frequency = 0;
    int64_t startCount = 0;
    int64_t prevCount = 0;
    int64_t secondMarkCount = 0;
    int64_t fiveSecondMarkCount = 0;
    uint32_t frameCount = 0;
    uint32_t framesInSecondWindow = 0;
    uint32_t framesInFiveSecondWindow = 0;
    double frameDelta = 0;
    double elapsed = 0;
    double averageFps = 0;
    double fps = 0;
    double fps5 = 0;
};
extern FrameClock frameClock;

void InitFrameClock();
void TickFrameClock();

inline constexpr double kBannerFadeInRate = 0.075;  // per second

// The frame step's own state between frames.
struct FrameStepState {
    double bannerFade = 0.0;  // opacity of the title banner, 0..1
    double bannerFadeRate = kBannerFadeInRate;  // change per second
    bool autoCloseArmed = true;
};
extern FrameStepState frameStep;

// The facts of the current frame as the scene is given them.
FrameInfo CurrentFrameInfo();

void RunFrameStep();

struct PowerSavingState {
    bool powerOffWasActive = false;
    bool lowPowerWasActive = false;
};
extern PowerSavingState powerSavingState;

// After the backend made its rendering context current on creation: records
// whether the context is hardware-accelerated, starts the frame clock and the
// overlay clock, and suspends monitor power saving.
void GlViewOnCreate(bool hardwareAccelerated);

// The size event: display state, viewport, OpenGL state and the scene.
void GlViewOnSize(int width, int height);
void InitGlState();

// One frame between the backend's "make current" and its swap or flush.
void GlViewOnPaint();

// Mouse movement over the OpenGL window is ignored during its first second.
bool GlViewIgnoresMouseMove();

// The teardown of the OpenGL window, in order; the backend frees its record
// afterwards.
void GlViewOnDestroy();

// The frame-step and clock records back to their start values (tests, and a
// second OpenGL window in one process).
void ResetGlViewState();
