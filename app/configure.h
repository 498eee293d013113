// Configuration mode. The settings dialog is not part of this build yet, so
// configuration mode runs the start-up routine like the dialog would and then
// tells the user where the settings are kept.
#pragma once

#include <cstdint>

// Returns the process exit code.
int RunConfigureMode(uint64_t ownerWindow);
