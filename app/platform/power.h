// The monitor power-saving features the saver suspends while it runs:
// SPI power-off and low-power on Windows, DPMS on Linux (where both features
// are the one DPMS switch). Changes are never written to the user's profile.
#pragma once

bool MonitorPowerOffActive();
void SetMonitorPowerOffActive(bool active);
bool MonitorLowPowerActive();
void SetMonitorLowPowerActive(bool active);
