// Configuration mode: the platform's settings dialog. The message below is
// for a platform that has none yet.
#include "configure.h"

#include "main.h"
#include "platform/messagebox.h"
#include "platform/pagecontrols.h"
#include "product.h"

const char kNoDialogMessage[] =
    "This version of Chronovale has no settings dialog yet.\r\n\r\n"
    "Its settings are kept under the key Software\\Quillmere\\Chronovale "
    "of the current user and are read at every start.";

int RunConfigureMode(uint64_t ownerWindow) { return RunConfigureDialog(ownerWindow); }
