// Placeholder until the page logic lands.
#include "gtk_page_calls.h"
#include "gtk_choosers.h"
#include "gtk_pages.h"
#include "settings_catalogue.h"
#include <cstdio>
void PageInit(int) {}
void PageActivate(int page) { CurrentConfigureSheet.Set(page); }
void PageCommand(int page, int id) {
    GtkWindow* w = GTK_WINDOW(gtkSettingsDialog.dialog);
    if (page == 3 && id == 1009) { uint32_t c; bool ok = GtkChooseColour(w, TextColor.Get(), &c); fprintf(stderr, "colour %d %06x\n", ok, c); }
    if (page == 3 && id == 1014) { char f[32]; bool ok = GtkChooseFace(w, "Arial", f, sizeof f); fprintf(stderr, "face %d %s\n", ok, ok ? f : ""); }
    if (page == 1 && id == 1097) { char f[500]; bool ok = GtkChooseMusicFile(w, f, sizeof f); fprintf(stderr, "file %d %s\n", ok, ok ? f : ""); }
}
void PageHelp(int) {}
