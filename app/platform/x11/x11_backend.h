// What the X11 backend's files share: the saver's display connection and
// windows (one record), X error trapping, and the calls between the saver
// window (x11_saver.cpp), its closing rules (x11_input.cpp) and the OpenGL
// window (glx_view.cpp). The core never sees this header.
#pragma once

// The core headers whose names Xlib's macros would clash with (None, Bool)
// come before Xlib.h; every file of the backend includes this header first.
#include "modes.h"
#include "settings_catalogue.h"
#include "platform/saverhost.h"

#include <X11/Xlib.h>

struct X11SaverRecord {
    Display* display = nullptr;
    int screen = 0;
    Window root = 0;
    SaverMode mode = SaverMode::FullScreen;  // set by RunSaver
    Window hostWindow = 0;      // the foreign window of preview and hosted modes
    Window saverWindow = 0;     // ours in every mode
    bool saverWindowAlive = false;
    Cursor blankCursor = 0;
    int referenceX = 0;         // pointer position at saver window creation,
    int referenceY = 0;         // root coordinates
    bool closeRequested = false;
    bool quitRequested = false;
    int quitCode = 0;
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
};
extern X11SaverRecord x11Saver;

// The saver's display, or nullptr while none is open.
Display* SaverDisplay();

// What configuration mode's display (GTK's, in the desktop module) answers
// while the saver has none open: its bell and its monitor count. Unset
// (nullptr) outside the settings dialog.
struct DialogDisplayRecord {
    void (*beep)() = nullptr;
    int (*monitorCount)() = nullptr;
};
extern DialogDisplayRecord dialogDisplay;

// Installs the process's X error handlers: protocol errors are recorded, not
// fatal; a lost connection ends the process.
void InstallX11ErrorHandlers();

// Brackets requests whose errors the caller wants to see: EndX11ErrorTrap
// syncs and returns the first error code since BeginX11ErrorTrap (0: none).
void BeginX11ErrorTrap(Display* display);
int EndX11ErrorTrap(Display* display);

// Sets WM_NAME/_NET_WM_NAME and WM_CLASS (both parts to className).
void SetWindowNames(Display* display, Window window, const char* title, const char* className);

// The default saver procedure: the closing rules of the current mode for one
// event of the saver window or the OpenGL window.
void DefaultSaverEvent(const XEvent& event);

// Keysym to Windows virtual-key code.
unsigned VirtualKeyFromKeysym(unsigned long keysym);

// Closes the saver: the OpenGL window's teardown, then the saver window.
void CloseSaver();

// The OpenGL window, from glx_view.cpp.
bool GlViewExists();
bool IsGlViewWindow(Window window);
void HandleGlViewEvent(const XEvent& event);  // the OpenGL window's event procedure
void PaintGlView();                           // one frame
void PlaceGlView(const ViewRect& view);      // follows a resized saver window
void DestroyGlView();                         // teardown, then the window itself
