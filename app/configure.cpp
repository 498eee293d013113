// Configuration mode: the platform's settings dialog (platform/pagecontrols.h)
// over the portable page handlers of controls.h.
#include "configure.h"

#include "platform/pagecontrols.h"

int RunConfigureMode(uint64_t ownerWindow) { return RunConfigureDialog(ownerWindow); }
