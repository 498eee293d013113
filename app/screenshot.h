// The screenshot writer: F5 asks for one, and the next frame writes its own
// picture, after it is drawn and before it is shown, as the next free
// "ps_screenshot_%03d.bmp" (24-bit BMP, bottom row first) in the program's
// folder, or in the user's pictures folder when the program's folder takes
// no files. Nothing is reported; a failure leaves no file or a short one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

// The next number to try; it only grows within a process.
extern int screenshotCounter;

inline constexpr size_t kBmpHeadersSize = 54;

// Bytes of one BMP row: 3 a pixel, padded to a multiple of 4.
size_t ScreenshotRowStride(int width);

// The 14-byte file header and the 40-byte information header.
void FormatBmpHeaders(uint8_t (&headers)[kBmpHeadersSize], int width, int height);

// The F5 action: the request is kept until the next frame has been drawn.
void TakeScreenshot();
bool ScreenshotPending();

// Called by the frame between drawing and showing it: writes the pending
// screenshot of the view of that size, if any.
void WritePendingScreenshot(int width, int height);

// Reads the view's pixels from the current OpenGL context's read buffer and
// writes headers and pixels to file; false when memory or writing fails.
bool WriteScreenshot(int width, int height, FILE* file);

// The request and counter back to their start values (tests).
void ResetScreenshotState();
