// The monitor power-saving switches on Windows: SPI power-off and low-power.
// Changes are made for this session only and never written to the profile.
#include "platform/power.h"

#include <windows.h>

namespace {
constexpr UINT kSessionOnly = 0;  // no SPIF_UPDATEINIFILE, no broadcast

bool QueryFeature(UINT query) {
    BOOL active = FALSE;
    if (!SystemParametersInfoA(query, 0, &active, 0)) return false;
    return active != FALSE;
}
}  // namespace

bool MonitorPowerOffActive() { return QueryFeature(SPI_GETPOWEROFFACTIVE); }

void SetMonitorPowerOffActive(bool active) {
    SystemParametersInfoA(SPI_SETPOWEROFFACTIVE, active ? 1 : 0, nullptr, kSessionOnly);
}

bool MonitorLowPowerActive() { return QueryFeature(SPI_GETLOWPOWERACTIVE); }

void SetMonitorLowPowerActive(bool active) {
    SystemParametersInfoA(SPI_SETLOWPOWERACTIVE, active ? 1 : 0, nullptr, kSessionOnly);
}
