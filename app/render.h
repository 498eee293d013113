// Drawing one frame: clearing or darkening the previous picture for motion
// trails, the camera, the scene objects and the overlay. With double
// buffering the previous picture is kept in a texture, because after a swap
// the back buffer's content is undefined.
#pragma once

#include "frameinfo.h"

inline constexpr double kTrailTimeConstant = 0.333;  // seconds
inline constexpr double kTrailAlphaMin = 0.1;
inline constexpr double kTrailAlphaMax = 1.0;
inline constexpr unsigned kFramesClearedAtStart = 2;

// The darkening rectangle's opacity for a frame time: dt / 0.333 s within 0.1..1.
double TrailAlpha(double frameDelta);

// The smallest power of two that holds extent pixels (1 for 0 or less).
int TrailTextureExtent(int extent);

// The kept picture: a texture at least the view's size, made on each size
// event while FrameBlending and DoubleBuffering are both on. Part of the
// scene record (scene.h).
struct TrailBuffer {
    unsigned texture = 0;  // 0: no kept picture, trails rely on the buffer alone
    int textureWidth = 0;
    int textureHeight = 0;
    int viewWidth = 0;
    int viewHeight = 0;
    bool holdsPicture = false;  // a frame has been copied in since the set-up
};

// Measuring hooks of the probe build, null in the normal program: called at
// the start of RenderScene and after the frame is complete, before the swap.
struct RenderObservers {
    void (*frameStarting)();
    void (*frameFinished)();
};
extern RenderObservers renderObservers;

// On each size event, with the context current: (re)makes or frees the texture.
void SetUpTrailBuffer(ViewSize view);
void ReleaseTrailBuffer();
