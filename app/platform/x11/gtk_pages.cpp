// Builds and runs the Linux settings dialog: the notebook of the four pages
// in their order and with their titles, OK and Help, the start page, and the
// GTK signals of every numbered control turned into the core's page
// handlers of controls.h. Drawing the picture and the colour swatch lives
// here too, since it is GTK's alone; the page service the handlers call is
// gtk_page_service.cpp.
#include "gtk_pages.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "controls.h"
#include "main.h"
#include "own_resources.h"
#include "platform/resources.h"
#include "product.h"
#include "resource_ids.h"

GtkSettingsDialogRecord gtkSettingsDialog;
void (*settingsDialogFirstFrameObserver)() = nullptr;

namespace {
constexpr int kIntroductionPage = static_cast<int>(ConfigurePage::Introduction);
constexpr int kCustomControlsPage = static_cast<int>(ConfigurePage::CustomControls);
// The numbers Windows gives the sheet's own OK and Help buttons.
constexpr char kOkButtonId[] = "1";
constexpr char kHelpButtonId[] = "9";
constexpr int kPageDataShift = 16;

gpointer PackControl(int page, int id) {
    return GINT_TO_POINTER((page << kPageDataShift) | id);
}
int ControlPage(gpointer data) { return GPOINTER_TO_INT(data) >> kPageDataShift; }
int ControlNumberOf(gpointer data) { return GPOINTER_TO_INT(data) & ((1 << kPageDataShift) - 1); }

// A builder id that is a number names a numbered control.
bool ControlNumber(const char* name, int* id) {
    if (!name || !*name) return false;
    for (const char* p = name; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    *id = atoi(name);
    return true;
}

gboolean RunCommand(gpointer data) {
    if (gtkSettingsDialog.dialog)
        PageOnCommand(static_cast<ConfigurePage>(ControlPage(data)),
                      SettingsPageWindow(ControlPage(data)), ControlNumberOf(data));
    return G_SOURCE_REMOVE;
}

void OnControlClicked(GtkButton* button, gpointer data) {
    if (gtkSettingsDialog.quiet > 0) return;
    // A radio button that was just switched off by its neighbour reports a
    // click too; only the one now selected is the user's command.
    if (GTK_IS_RADIO_BUTTON(button) && !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(button)))
        return;
    // The command may open a modal chooser or message. Run from the main
    // loop, not from inside the click: a click that came as an
    // accessibility request would otherwise hold that request, and with it
    // every later one, until the modal window closed.
    g_idle_add(RunCommand, data);
}

gboolean DrawPicture(GtkWidget* area, cairo_t* cr, gpointer) {
    if (!gtkSettingsDialog.picture) return FALSE;
    // Unscaled from the picture's top-left corner, cut to the area's size.
    gdk_cairo_set_source_pixbuf(cr, gtkSettingsDialog.picture, 0, 0);
    cairo_rectangle(cr, 0, 0, gtk_widget_get_allocated_width(area),
                    gtk_widget_get_allocated_height(area));
    cairo_fill(cr);
    return FALSE;
}

gboolean DrawSwatch(GtkWidget* area, cairo_t* cr, gpointer) {
    // 0x00BBGGRR.
    uint32_t colour = CustomSwatchColour();
    double width = gtk_widget_get_allocated_width(area);
    double height = gtk_widget_get_allocated_height(area);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                         ((colour >> 16) & 0xFF) / 255.0);
    cairo_rectangle(cr, 1, 1, width - 2, height - 2);
    cairo_fill(cr);
    return FALSE;
}

void WireControl(int page, int id, GtkWidget* widget) {
    char number[16];
    snprintf(number, sizeof number, "%d", id);
    atk_object_set_accessible_id(gtk_widget_get_accessible(widget), number);
    if (page == kIntroductionPage && id == ControlId::kPicture && GTK_IS_DRAWING_AREA(widget)) {
        g_signal_connect(widget, "draw", G_CALLBACK(DrawPicture), nullptr);
        return;
    }
    if (page == kCustomControlsPage && id == ControlId::kSwatch && GTK_IS_DRAWING_AREA(widget)) {
        g_signal_connect(widget, "draw", G_CALLBACK(DrawSwatch), nullptr);
        return;
    }
    if (GTK_IS_BUTTON(widget))
        g_signal_connect(widget, "clicked", G_CALLBACK(OnControlClicked), PackControl(page, id));
}

bool PageDefinitionBytes(const ConfigurePageInfo& definition, const unsigned char** data,
                         size_t* size) {
    if (!definition.inCompanionLibrary)
        return FindOwnResourceBytes(CHRONOVALE_RESOURCE_TYPE_PAGE, definition.templateId, data,
                                    size);
    return FindResourceBytes(resourceLibrary, CHRONOVALE_RESOURCE_TYPE_PAGE, definition.templateId,
                             data, size);
}

bool LoadPage(int index) {
    const ConfigurePageInfo& definition = kConfigurePages[index];
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!PageDefinitionBytes(definition, &data, &size)) {
        fprintf(stderr, "%s: page %d is missing\n", kProduct.productName, definition.templateId);
        return false;
    }
    GtkSettingsPage& page = gtkSettingsDialog.pages[index];
    page.builder = gtk_builder_new();
    GError* error = nullptr;
    if (!gtk_builder_add_from_string(page.builder, reinterpret_cast<const char*>(data),
                                     static_cast<gsize>(size), &error)) {
        fprintf(stderr, "%s: page %d cannot be read: %s\n", kProduct.productName,
                definition.templateId, error ? error->message : "");
        g_clear_error(&error);
        return false;
    }
    page.root = GTK_WIDGET(gtk_builder_get_object(page.builder, "page"));
    if (!page.root) return false;
    GSList* objects = gtk_builder_get_objects(page.builder);
    for (GSList* item = objects; item; item = item->next) {
        if (!GTK_IS_WIDGET(item->data)) continue;
        int id = 0;
        if (ControlNumber(gtk_buildable_get_name(GTK_BUILDABLE(item->data)), &id))
            WireControl(index, id, GTK_WIDGET(item->data));
    }
    g_slist_free(objects);
    return true;
}

// A page's init handler runs when the page is first shown, as a property
// sheet creates its pages; then its activation handler runs.
void ActivatePage(int index) {
    GtkSettingsPage& page = gtkSettingsDialog.pages[index];
    if (!page.initialised) {
        page.initialised = true;
        PageOnInit(static_cast<ConfigurePage>(index), SettingsPageWindow(index));
    }
    PageOnActivate(static_cast<ConfigurePage>(index), SettingsPageWindow(index));
}

void OnSwitchPage(GtkNotebook*, GtkWidget*, guint index, gpointer) {
    if (index < static_cast<guint>(kSettingsPageCount)) ActivatePage(static_cast<int>(index));
}

GdkPixbuf* LoadPicture() {
    const unsigned char* data = nullptr;
    size_t size = 0;
    if (!FindOwnResourceBytes(CHRONOVALE_RESOURCE_TYPE_BITMAP, IDB_ABOUT_PICTURE, &data, &size))
        return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    GdkPixbuf* picture = nullptr;
    if (gdk_pixbuf_loader_write(loader, data, size, nullptr) &&
        gdk_pixbuf_loader_close(loader, nullptr)) {
        picture = gdk_pixbuf_loader_get_pixbuf(loader);
        if (picture) g_object_ref(picture);
    } else {
        gdk_pixbuf_loader_close(loader, nullptr);
    }
    g_object_unref(loader);
    return picture;
}

void MarkButton(GtkWidget* button, const char* id) {
    atk_object_set_accessible_id(gtk_widget_get_accessible(button), id);
}

void BuildDialog() {
    GtkSettingsDialogRecord& record = gtkSettingsDialog;
    record.dialog = gtk_dialog_new();
    gtk_window_set_title(GTK_WINDOW(record.dialog), kProduct.productName);
    gtk_window_set_resizable(GTK_WINDOW(record.dialog), FALSE);
    gtk_window_set_position(GTK_WINDOW(record.dialog), GTK_WIN_POS_CENTER);
    record.notebook = gtk_notebook_new();
    gtk_container_set_border_width(GTK_CONTAINER(record.notebook), 6);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(record.dialog));
    gtk_box_pack_start(GTK_BOX(content), record.notebook, TRUE, TRUE, 0);
    gtk_widget_show(record.notebook);

    // OK then Help at the right, where the sheet has them; no Cancel, no
    // Apply: every control has written its value already.
    GtkWidget* ok = gtk_dialog_add_button(GTK_DIALOG(record.dialog), "OK", GTK_RESPONSE_OK);
    GtkWidget* help = gtk_dialog_add_button(GTK_DIALOG(record.dialog), "Help", GTK_RESPONSE_HELP);
    GtkWidget* actions = gtk_widget_get_parent(help);
    if (GTK_IS_BUTTON_BOX(actions))
        gtk_button_box_set_child_secondary(GTK_BUTTON_BOX(actions), help, FALSE);
    MarkButton(ok, kOkButtonId);
    MarkButton(help, kHelpButtonId);
    gtk_dialog_set_default_response(GTK_DIALOG(record.dialog), GTK_RESPONSE_OK);
}

// The first frame: the first paint cycle of the dialog's frame clock that
// drew the dialog.
struct FirstFrameWatch {
    bool drawn = false;
    gulong handler = 0;
    GdkFrameClock* clock = nullptr;
};
FirstFrameWatch firstFrameWatch;

gboolean OnDialogDrawn(GtkWidget*, cairo_t*, gpointer) {
    firstFrameWatch.drawn = true;
    return FALSE;
}

void OnAfterPaint(GdkFrameClock* clock, gpointer) {
    if (!firstFrameWatch.drawn) return;
    g_signal_handler_disconnect(clock, firstFrameWatch.handler);
    firstFrameWatch = FirstFrameWatch();
    if (settingsDialogFirstFrameObserver) settingsDialogFirstFrameObserver();
}

void OnDialogRealized(GtkWidget* dialog, gpointer) {
    GdkFrameClock* clock = gtk_widget_get_frame_clock(dialog);
    if (!clock || !settingsDialogFirstFrameObserver) return;
    firstFrameWatch.clock = clock;
    firstFrameWatch.handler =
        g_signal_connect(clock, "after-paint", G_CALLBACK(OnAfterPaint), nullptr);
    g_signal_connect_after(dialog, "draw", G_CALLBACK(OnDialogDrawn), nullptr);
}

void ReleaseDialog() {
    if (firstFrameWatch.handler)
        g_signal_handler_disconnect(firstFrameWatch.clock, firstFrameWatch.handler);
    firstFrameWatch = FirstFrameWatch();
    GtkSettingsDialogRecord& record = gtkSettingsDialog;
    if (record.dialog) gtk_widget_destroy(record.dialog);
    for (GtkSettingsPage& page : record.pages) {
        if (page.builder) g_object_unref(page.builder);
        for (GtkWidget* none : page.noneButtons)
            if (none) g_object_unref(none);
    }
    if (record.picture) g_object_unref(record.picture);
    if (record.handCursor) g_object_unref(record.handCursor);
    record = GtkSettingsDialogRecord();
    while (gtk_events_pending()) gtk_main_iteration();
}
}  // namespace

PageWindow SettingsPageWindow(int page) { return static_cast<PageWindow>(page); }

int SettingsPageIndex(PageWindow window) {
    return window < static_cast<PageWindow>(kSettingsPageCount) ? static_cast<int>(window) : -1;
}

GtkWidget* SettingsPageWidget(int page, int id) {
    if (page < 0 || page >= kSettingsPageCount) return nullptr;
    GtkBuilder* builder = gtkSettingsDialog.pages[page].builder;
    if (!builder) return nullptr;
    char name[16];
    snprintf(name, sizeof name, "%d", id);
    GObject* object = gtk_builder_get_object(builder, name);
    return object && GTK_IS_WIDGET(object) ? GTK_WIDGET(object) : nullptr;
}

bool RunSettingsDialog(int startPage, GCallback onMapped) {
    GtkSettingsDialogRecord& record = gtkSettingsDialog;
    BuildDialog();
    // The theme's hand, or the X server's own where no cursor theme is installed.
    GdkDisplay* display = gtk_widget_get_display(record.dialog);
    record.handCursor = gdk_cursor_new_from_name(display, "pointer");
    if (!record.handCursor) record.handCursor = gdk_cursor_new_for_display(display, GDK_HAND2);
    record.picture = LoadPicture();
    for (int index = 0; index < kSettingsPageCount; ++index) {
        if (!LoadPage(index)) {
            ReleaseDialog();
            return false;
        }
        gtk_notebook_append_page(GTK_NOTEBOOK(record.notebook), record.pages[index].root,
                                 gtk_label_new(kConfigurePages[index].title));
    }
    if (startPage < 0 || startPage >= kSettingsPageCount) startPage = 0;
    gtk_notebook_set_current_page(GTK_NOTEBOOK(record.notebook), startPage);
    // Connected only now: appending the first page switched to it, which is
    // no page the user opened.
    g_signal_connect(record.notebook, "switch-page", G_CALLBACK(OnSwitchPage), nullptr);
    ActivatePage(startPage);

    if (onMapped) g_signal_connect(record.dialog, "map", onMapped, nullptr);
    g_signal_connect(record.dialog, "realize", G_CALLBACK(OnDialogRealized), nullptr);
    gtk_window_present(GTK_WINDOW(record.dialog));
    for (;;) {
        int response = gtk_dialog_run(GTK_DIALOG(record.dialog));
        if (response != GTK_RESPONSE_HELP) break;
        PageOnHelp();
    }
    ReleaseDialog();
    return true;
}
