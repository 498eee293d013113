// The saver's side of the desktop and GIO modules (desktop_module.h): each is
// looked for beside the program's real path and loaded the first time one of
// its entries is wanted (the settings dialog or a message box; the music
// player). A message still reaches standard error when the desktop module
// cannot be loaded.
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

// A module stays loaded once loaded: GLib and GTK cannot be unloaded safely.
struct ModuleRecord {
    const char* fileName;
    int openFlags;
    bool tried = false;
    void* handle = nullptr;
};
// The desktop module is loaded globally, because GtkBuilder finds the types
// its templates name (the font chooser's Pango types among them) by looking
// their functions up in the process's global scope; it exports nothing but
// its entries. The GIO module needs no such lookup and stays local.
ModuleRecord desktopModule = {kDesktopModuleName, RTLD_NOW | RTLD_GLOBAL};
ModuleRecord gioModule = {kGioModuleName, RTLD_NOW | RTLD_LOCAL};

void* ModuleEntry(ModuleRecord* module, const char* name) {
    if (!module->tried) {
        module->tried = true;
        char program[kProgramPathSize];
        if (GetProgramPath(program, sizeof program)) {
            std::string path(program);
            path = path.substr(0, path.rfind('/') + 1) + module->fileName;
            module->handle = dlopen(path.c_str(), module->openFlags);
            if (!module->handle) fprintf(stderr, "%s: %s\n", kProduct.productName, dlerror());
        }
    }
    return module->handle ? dlsym(module->handle, name) : nullptr;
}
}  // namespace

void* DesktopEntry(const char* name) { return ModuleEntry(&desktopModule, name); }

void* GioEntry(const char* name) { return ModuleEntry(&gioModule, name); }

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
