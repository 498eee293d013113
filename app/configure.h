// Configuration mode: the platform's settings dialog (platform/pagecontrols.h)
// over the portable page handlers of controls.h. A platform without its
// dialog yet runs the start-up routine and shows kNoDialogMessage instead.
#pragma once

#include <cstdint>

// Returns the process exit code.
int RunConfigureMode(uint64_t ownerWindow);

extern const char kNoDialogMessage[];
