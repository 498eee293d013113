// Configuration mode without the settings dialog.
#include "configure.h"

#include <cstdio>

#include "main.h"
#include "platform/messagebox.h"
#include "product.h"

namespace {

// Product name, then the key path.
const char kNoDialogFormat[] =
    "This version of %s has no settings dialog yet.\r\n\r\n"
    "Its settings are kept under the key %s of the current user and are read at "
    "every start.";
constexpr size_t kMessageSize = 1000;

}  // namespace

int RunConfigureMode(uint64_t) {
    RunStartup();
    char message[kMessageSize];
    snprintf(message, sizeof message, kNoDialogFormat, kProduct.productName,
             kProduct.registryKeyPath);
    ShowMessageBox(message, kProduct.productName, MessageIcon::Warning, false);
    return 0;
}
