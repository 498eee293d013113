// The screensaver framework the saver brings with it: the process entry reads
// the mode, creates the saver window (full screen or preview) and runs the
// message loop; the default saver procedure applies the closing rules. The
// saver's own behaviour is in SaverWindowProc (win32_saver.cpp) and the
// OpenGL window (wgl_view.cpp).
#pragma once

#include <windows.h>

inline constexpr char kSaverClassName[] = "WindowsScreenSaverClass";
inline constexpr char kSaverWindowTitle[] = "Screen Saver";
inline constexpr char kPreviewWindowTitle[] = "Preview";

// Runs the mode the command line asks for; returns the process exit code.
int RunSaverFramework(HINSTANCE instance, const char* commandLine);

// The process's module handle as the entry received it, for window classes.
HINSTANCE SaverInstance();
// True when the saver draws inside the display settings' preview window.
bool SaverPreviewMode();

// The default handling of every message the saver's windows do not answer
// themselves: in full screen it closes the saver on input, deactivation and
// power events, and keeps the cursor hidden; in preview it only applies the
// platform's default handling.
LRESULT DefaultSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
