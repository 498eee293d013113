// Configuration mode on Windows until the property sheet is built: the start-up
// routine, then a message saying where the settings are kept.
#include "configure.h"
#include "main.h"
#include "platform/messagebox.h"
#include "platform/pagecontrols.h"
#include "product.h"

int RunConfigureDialog(uint64_t) {
    RunStartup();
    ShowMessageBox(kNoDialogMessage, kProduct.productName, MessageIcon::Warning, false);
    return 0;
}
