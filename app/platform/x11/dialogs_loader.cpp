// The saver's side of the dialogs module (dialogs_module.h): the module is
// looked for beside the program's real path and loaded the first time the
// settings dialog or a message box is wanted, never in an ordinary saver run.
// A message still reaches standard error when the module cannot be loaded.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "dialogs_module.h"
#include "message_report.h"
#include "platform/messagebox.h"
#include "platform/pagecontrols.h"
#include "platform/process.h"
#include "product.h"

void (*dialogFirstFrameObserver)() = nullptr;

namespace {
constexpr size_t kProgramPathSize = 4096;

// The module stays loaded once loaded: GTK cannot be unloaded safely.
struct DialogsModuleRecord {
    bool tried = false;
    void* handle = nullptr;
};
DialogsModuleRecord dialogsModule;

void* DialogsEntry(const char* name) {
    if (!dialogsModule.tried) {
        dialogsModule.tried = true;
        char program[kProgramPathSize];
        if (GetProgramPath(program, sizeof program)) {
            std::string path(program);
            path = path.substr(0, path.rfind('/') + 1) + kDialogsModuleName;
            // Global, because GtkBuilder finds the types its templates name
            // (the font chooser's Pango types among them) by looking their
            // functions up in the process's global scope. The module itself
            // exports nothing but its entries.
            dialogsModule.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
            if (!dialogsModule.handle)
                fprintf(stderr, "%s: %s\n", kProduct.productName, dlerror());
        }
    }
    return dialogsModule.handle ? dlsym(dialogsModule.handle, name) : nullptr;
}
}  // namespace

int RunConfigureDialog(uint64_t ownerWindow) {
    auto run = reinterpret_cast<DialogsRunSettingsEntry>(DialogsEntry(kDialogsRunSettingsEntry));
    if (!run) {
        fprintf(stderr, "%s: the settings dialog cannot be shown without %s\n",
                kProduct.productName, kDialogsModuleName);
        return 1;
    }
    return run(ownerWindow, dialogFirstFrameObserver);
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost) {
    MessageReport report = ReportMessage(text, caption);
    auto show = reinterpret_cast<DialogsShowMessageEntry>(DialogsEntry(kDialogsShowMessageEntry));
    if (show)
        show(report.body.c_str(), report.title.c_str(), static_cast<int>(icon), topmost ? 1 : 0);
}
