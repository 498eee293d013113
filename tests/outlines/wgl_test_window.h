// A small window with a current WGL context, for the Windows glyph test and
// the Windows glyph timing program; plain Win32 and WGL, nothing of the
// saver's own window code. Under Wine it needs an X display of its own.
#pragma once

#include "gl_headers.h"

class WglTestWindow {
public:
    WglTestWindow() = default;
    ~WglTestWindow() { Close(); }
    WglTestWindow(const WglTestWindow&) = delete;
    WglTestWindow& operator=(const WglTestWindow&) = delete;

    // Creates the window and makes an OpenGL context current on its DC.
    // False (with the failed step on stderr) when a step fails.
    bool Open(int width, int height);
    void Close();

    HDC Dc() const { return dc_; }

private:
    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HGLRC context_ = nullptr;
};
