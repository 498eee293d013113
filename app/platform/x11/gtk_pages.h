// The settings dialog on Linux: a GTK 3 dialog with a notebook of the four
// pages, each loaded from its GtkBuilder definition (three from the
// companion library, Custom Controls from the saver itself). The pages'
// behaviour is the core's page logic; gtk_page_service.cpp plays the page
// service it calls, and this file turns GTK signals into its handlers.
#pragma once

#include <gtk/gtk.h>

#include "platform/pagecontrols.h"

constexpr int kSettingsPageCount = 4;

struct GtkSettingsPage {
    GtkBuilder* builder = nullptr;  // owns the page's widgets and their numbers
    GtkWidget* root = nullptr;
    bool initialised = false;       // the page's init handler has run
    // Hidden members of the page's radio groups, selected to show none of
    // the visible buttons (a GTK group always has one selected).
    GtkWidget* noneButtons[4] = {};
};

// The one dialog of the process; every field is valid while RunSettingsDialog
// runs and reset when it returns.
struct GtkSettingsDialogRecord {
    GtkWidget* dialog = nullptr;
    GtkWidget* notebook = nullptr;
    GtkSettingsPage pages[kSettingsPageCount];
    GdkPixbuf* picture = nullptr;   // drawn in the Introduction page's area
    GdkCursor* handCursor = nullptr;
    int quiet = 0;                  // > 0 while the program itself sets controls
};
extern GtkSettingsDialogRecord gtkSettingsDialog;

// The handle the page handlers get for a page, and back; -1 for no page.
PageWindow SettingsPageWindow(int page);
int SettingsPageIndex(PageWindow window);

// The widget numbered id on page index; nullptr when the page has none.
GtkWidget* SettingsPageWidget(int page, int id);

// Shows the dialog modally on startPage until it is closed with OK; GTK must
// be initialised. onMapped (void (GtkWidget*, gpointer), may be nullptr) runs
// when the dialog's window is mapped. Returns false when a page cannot be
// loaded.
bool RunSettingsDialog(int startPage, GCallback onMapped);

// Called once, after the dialog's first frame has been painted; the
// module's entry sets it to what the program passed (nullptr in the saver).
extern void (*settingsDialogFirstFrameObserver)();
