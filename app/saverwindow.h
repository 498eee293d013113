// The saver window's portable behaviour: the start-up sequence on creation
// and the keys the saver answers. The backends (win32_saver.cpp,
// x11_saver.cpp) create the window, run the loop and apply the closing rules,
// and call these handlers from their events.
#pragma once

#include <cstdint>

#include "platform/saverhost.h"
#include "platform/types.h"

struct SaverState {
    bool previewMode = false;  // drawing inside the preview window
    NativeWindow saverWindow = 0;
    uint32_t musicProcessId = 0;  // the music player's process, 0 for none
};
extern SaverState saverState;

inline constexpr int kColorDepthRefused = 8;
inline constexpr unsigned kVirtualKeyF1 = 0x70;
inline constexpr unsigned kVirtualKeyF5 = 0x74;
inline constexpr unsigned kVirtualKeyF = 0x46;

// Where the OpenGL view lies in the saver window's client area: the primary
// monitor's part of it when that is asked for and the window holds the whole
// monitor, else the whole client area (a preview, an ordinary window).
ViewRect ChooseViewRect(bool previewMode, int monitorCount, bool primaryMonitorOnly,
                        int clientWidth, int clientHeight, const ViewRect& primary);

// The start-up sequence after the backend set the tool-window style: start-up
// routine, run counter, view rectangle, colour depth check, OpenGL window.
// previewMode: the window is a preview inside a host's window. Returns 0, or
// -1 to refuse the window (8-bit colour).
int SaverOnCreate(NativeWindow saverWindow, bool previewMode);

enum class KeyOutcome {
    Handled,  // not passed on: the saver keeps running
    PassOn,   // to the default saver procedure, which closes the saver
};

// A key press in the saver window, by virtual-key code.
KeyOutcome SaverOnKeyDown(unsigned virtualKey);

// The text of the 8-bit refusal.
extern const char kColorDepthMessage[];
