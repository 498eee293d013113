// Start-up sequence and key handling of the saver window.
#include "saverwindow.h"

#include <cstdio>

#include "glview.h"
#include "main.h"
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
                        int clientWidth, int clientHeight, int primaryWidth, int primaryHeight) {
    if (previewMode || monitorCount == 1 || !primaryMonitorOnly)
        return {0, 0, clientWidth, clientHeight};
    return {0, 0, primaryWidth, primaryHeight};
}

int SaverOnCreate(NativeWindow saverWindow) {
    saverState.saverWindow = saverWindow;
    RunStartup();
    UCS.Increment();

    int clientWidth = 0, clientHeight = 0;
    GetClientSize(saverWindow, &clientWidth, &clientHeight);
    int primaryWidth = 0, primaryHeight = 0;
    GetPrimaryDisplaySize(&primaryWidth, &primaryHeight);
    // PrimaryMonitorOnly counts as set for any non-zero number.
    ViewRect view = ChooseViewRect(saverState.previewMode, GetMonitorCount(),
                                   PrimaryMonitorOnly.Get() != 0, clientWidth, clientHeight,
                                   primaryWidth, primaryHeight);
    displayState.viewWidth = view.width;
    displayState.viewHeight = view.height;

    displayState.colorDepth = GetColorDepth(saverWindow);
    if (displayState.colorDepth == kColorDepthRefused) {
        ShowMessageBox(kColorDepthMessage, kProduct.productName, MessageIcon::Warning, true);
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
        // The screenshot writer arrives with its own change; the beep and
        // keeping the saver open hold already.
        PlatformBeep(BeepKind::Default);
        return KeyOutcome::Handled;
    }
    return KeyOutcome::PassOn;
}
