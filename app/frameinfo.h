// The facts of one frame that the scene reads: the frame clock's figures,
// the view's size and the display's and banner's state. The frame step
// (glview.cpp) builds one per size event and per frame and passes it to the
// scene's set-up, update and drawing; the scene keeps no copy.
#pragma once

#include <cstdint>

// The OpenGL view in pixels; 0 x 0 before the first size event.
struct ViewSize {
    int width = 0;
    int height = 0;
};

struct FrameInfo {
    double frameDelta = 0;   // seconds since the previous frame
    double elapsed = 0;      // seconds since the frame clock started
    double averageFps = 0;   // frames over elapsed
    double fps = 0;          // over the last whole one-second window
    double fps5 = 0;         // over the last whole five-second window
    uint32_t frameCount = 0; // frames drawn, this one included
    ViewSize view;
    int colorDepth = 0;      // bits per pixel of the desktop
    bool hardwareAccelerated = true;
    bool previewMode = false;  // drawing inside a preview window
    double bannerFade = 0;     // the title banner's opacity, 0..1

    double Aspect() const { return static_cast<double>(view.width) / view.height; }
};
