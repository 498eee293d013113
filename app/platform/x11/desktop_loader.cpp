// The saver's side of the desktop module (desktop_module.h): the module is
// looked for beside the program's real path and loaded the first time the
// settings dialog, a message box or the music player is wanted. A message
// still reaches standard error when the module cannot be loaded.
#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "desktop_module.h"
#include "message_report.h"
#include "platform/messagebox.h"
#include "platform/pagecontrols.h"
#include "platform/process.h"
#include "product.h"

void (*dialogFirstFrameObserver)() = nullptr;

namespace {
constexpr size_t kProgramPathSize = 4096;

// The module stays loaded once loaded: GTK cannot be unloaded safely.
struct DesktopModuleRecord {
    bool tried = false;
    void* handle = nullptr;
};
DesktopModuleRecord desktopModule;
}  // namespace

void* DesktopEntry(const char* name) {
    if (!desktopModule.tried) {
        desktopModule.tried = true;
        char program[kProgramPathSize];
        if (GetProgramPath(program, sizeof program)) {
            std::string path(program);
            path = path.substr(0, path.rfind('/') + 1) + kDesktopModuleName;
            // Global, because GtkBuilder finds the types its templates name
            // (the font chooser's Pango types among them) by looking their
            // functions up in the process's global scope. The module itself
            // exports nothing but its entries.
            desktopModule.handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
            if (!desktopModule.handle)
                fprintf(stderr, "%s: %s\n", kProduct.productName, dlerror());
        }
    }
    return desktopModule.handle ? dlsym(desktopModule.handle, name) : nullptr;
}

int RunConfigureDialog(uint64_t ownerWindow) {
    auto run = reinterpret_cast<DesktopRunSettingsEntry>(DesktopEntry(kDesktopRunSettingsEntry));
    if (!run) {
        fprintf(stderr, "%s: the settings dialog cannot be shown without %s\n",
                kProduct.productName, kDesktopModuleName);
        return 1;
    }
    return run(ownerWindow, dialogFirstFrameObserver);
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost) {
    MessageReport report = ReportMessage(text, caption);
    auto show = reinterpret_cast<DesktopShowMessageEntry>(DesktopEntry(kDesktopShowMessageEntry));
    if (show)
        show(report.body.c_str(), report.title.c_str(), static_cast<int>(icon), topmost ? 1 : 0);
}
