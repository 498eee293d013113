// Configuration mode without the settings dialog.
#include "configure.h"

#include "main.h"
#include "platform/messagebox.h"
#include "product.h"

const char kNoDialogMessage[] =
    "This version of Chronovale has no settings dialog yet.\r\n\r\n"
    "Its settings are kept under the key Software\\Quillmere\\Chronovale "
    "of the current user and are read at every start.";

int RunConfigureMode(uint64_t) {
    RunStartup();
    ShowMessageBox(kNoDialogMessage, kProduct.productName, MessageIcon::Warning, false);
    return 0;
}
