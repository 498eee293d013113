// Start-up sequence and key handling of the saver window.
#include "saverwindow.h"
#include "screenshot.h"

#include <cstdio>

#include "glview.h"
#include "main.h"
#include "music.h"
#include "platform/messagebox.h"
#include "platform/shell.h"
#include "product.h"
#include "settings_catalogue.h"

SaverState saverState;

const char kColorDepthMessage[] = "Please change your screen resolution to at least 16 bits of color.";

namespace {
constexpr int kOldestModernVersionClass = 6;
}

ViewRect ChooseViewRect(bool previewMode, int monitorCount, bool primaryMonitorOnly,
                        int clientWidth, int clientHeight, const ViewRect& primary) {
    ViewRect whole = {0, 0, clientWidth, clientHeight};
    if (previewMode || monitorCount == 1 || !primaryMonitorOnly) return whole;
    // A window that does not hold the primary monitor (a resizable window, a
    // host's window) draws in all of itself rather than off its edges.
    bool inside = primary.width > 0 && primary.height > 0 && primary.left >= 0 &&
                  primary.top >= 0 && primary.left + primary.width <= clientWidth &&
                  primary.top + primary.height <= clientHeight;
    return inside ? primary : whole;
}

int SaverOnCreate(NativeWindow saverWindow, bool previewMode) {
    saverState.saverWindow = saverWindow;
    saverState.previewMode = previewMode;
    RunStartup();
    UCS.Increment();
    StartMusicIfWanted();

    int clientWidth = 0, clientHeight = 0;
    GetClientSize(saverWindow, &clientWidth, &clientHeight);
    // PrimaryMonitorOnly counts as set for any non-zero number.
    ViewRect view = ChooseViewRect(saverState.previewMode, GetMonitorCount(),
                                   PrimaryMonitorOnly.Get() != 0, clientWidth, clientHeight,
                                   GetPrimaryDisplayRect());
    displayState.viewWidth = view.width;
    displayState.viewHeight = view.height;

    displayState.colorDepth = GetColorDepth(saverWindow);
    if (displayState.colorDepth == kColorDepthRefused) {
        ShowMessageBox(kColorDepthMessage, kProduct.productName, MessageIcon::Warning, true);
        CloseMusicIfStarted();
        return -1;
    }

    CreateGlView(saverWindow, view);
    return 0;
}

KeyOutcome SaverOnKeyDown(unsigned virtualKey) {
    if ((virtualKey == kVirtualKeyF1 || virtualKey == kVirtualKeyF) &&
        GetOsVersionClass() < kOldestModernVersionClass) {
        SetDirToProgramFolder();
        char saverFile[64];
        snprintf(saverFile, sizeof saverFile, "%s.scr", kProduct.productName);
        ShellConfigure(saverFile);
        return KeyOutcome::PassOn;
    }
    if (virtualKey == kVirtualKeyF5) {
        TakeScreenshot();
        PlatformBeep(BeepKind::Default);
        return KeyOutcome::Handled;
    }
    return KeyOutcome::PassOn;
}
