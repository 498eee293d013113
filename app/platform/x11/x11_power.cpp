// Monitor power saving on X11: the X server's DPMS switch, read and set on
// the saver's display. "Power-off" and "low power" are one switch here, so
// switching one off switches off both. Changes last until the saver restores
// them (or the server ends); nothing is written to the user's profile.
#include "x11_backend.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include "platform/power.h"

namespace {
// The display when its server has DPMS and can use it; nullptr otherwise.
Display* DpmsDisplay() {
    Display* display = SaverDisplay();
    if (!display) return nullptr;
    int eventBase = 0, errorBase = 0;
    if (!DPMSQueryExtension(display, &eventBase, &errorBase)) return nullptr;
    if (!DPMSCapable(display)) return nullptr;
    return display;
}

bool DpmsEnabled() {
    Display* display = DpmsDisplay();
    if (!display) return false;
    CARD16 powerLevel = 0;
    BOOL enabled = False;
    if (!DPMSInfo(display, &powerLevel, &enabled)) return false;
    return enabled != False;
}

void SetDpmsEnabled(bool enabled) {
    Display* display = DpmsDisplay();
    if (!display) return;
    if (enabled)
        DPMSEnable(display);
    else
        DPMSDisable(display);
    // Applied now: the process may end right after the teardown.
    XSync(display, False);
}
}  // namespace

bool MonitorPowerOffActive() { return DpmsEnabled(); }

void SetMonitorPowerOffActive(bool active) { SetDpmsEnabled(active); }

bool MonitorLowPowerActive() { return DpmsEnabled(); }

void SetMonitorLowPowerActive(bool active) { SetDpmsEnabled(active); }
