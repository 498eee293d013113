// Configuration mode: the platform's settings dialog (platform/pagecontrols.h)
// over the portable page handlers of controls.h.
#pragma once

#include <cstdint>

// Returns the process exit code.
int RunConfigureMode(uint64_t ownerWindow);
