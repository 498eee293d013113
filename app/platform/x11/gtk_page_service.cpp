// The page service of platform/pagecontrols.h played with the GTK widgets of
// the settings dialog: a control is the widget with its number on the page
// the handle names. Texts from the core are ANSI-code-page bytes unless they
// are valid UTF-8 already (paths); GTK is given UTF-8.
#include "gtk_pages.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "ansi_codepage.h"
#include "gtk_choosers.h"
#include "main.h"
#include "platform/pagecontrols.h"

#ifndef CHRONOVALE_INSTALLED_HELP_PAGE
#define CHRONOVALE_INSTALLED_HELP_PAGE ""
#endif

namespace {
constexpr char kHelpPageName[] = "/help.htm";
constexpr char kPreviewArgument[] = "-s";
constexpr char kWindowsAllFiles[] = "*.*";
constexpr char kAllFiles[] = "*";

GtkWidget* Control(PageWindow page, int control) {
    return SettingsPageWidget(SettingsPageIndex(page), control);
}

GtkWindow* Owner() {
    return gtkSettingsDialog.dialog ? GTK_WINDOW(gtkSettingsDialog.dialog) : nullptr;
}

std::string ToUtf8(const char* text) {
    if (!text) return std::string();
    if (g_utf8_validate(text, -1, nullptr)) return text;
    return AnsiToUtf8(text);
}

// Windows texts break lines with CR LF; GTK wants line feeds alone.
std::string WithoutCarriageReturns(const std::string& text) {
    std::string result;
    for (char c : text)
        if (c != '\r') result += c;
    return result;
}

// Programmatic changes emit the same signals as clicks; they are not
// commands.
struct QuietScope {
    QuietScope() { ++gtkSettingsDialog.quiet; }
    ~QuietScope() { --gtkSettingsDialog.quiet; }
};

void OnLinkRealized(GtkWidget* button, gpointer) {
    // The hand goes on the button's input window, which exists once the
    // button is realised.
    GdkWindow* input = gtk_button_get_event_window(GTK_BUTTON(button));
    if (input && gtkSettingsDialog.handCursor)
        gdk_window_set_cursor(input, gtkSettingsDialog.handCursor);
}

bool IsRegularFile(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

bool CopyPath(const std::string& path, char* buffer, size_t size) {
    if (path.size() >= size) return false;
    memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}
}  // namespace

void PageSetChecked(PageWindow page, int control, bool ticked) {
    GtkWidget* widget = Control(page, control);
    if (!widget || !GTK_IS_TOGGLE_BUTTON(widget)) return;
    QuietScope quiet;
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), ticked);
}

bool PageIsChecked(PageWindow page, int control) {
    GtkWidget* widget = Control(page, control);
    return widget && GTK_IS_TOGGLE_BUTTON(widget) &&
           gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(widget));
}

void PageSelectRadio(PageWindow page, int first, int last, int selected) {
    QuietScope quiet;
    if (selected >= first && selected <= last) {
        GtkWidget* widget = Control(page, selected);
        if (widget && GTK_IS_TOGGLE_BUTTON(widget))
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(widget), TRUE);
        return;
    }
    // None of the group: select a hidden member of it, made the first time.
    int index = SettingsPageIndex(page);
    GtkWidget* leader = Control(page, first);
    if (index < 0 || !leader || !GTK_IS_RADIO_BUTTON(leader)) return;
    GtkSettingsPage& record = gtkSettingsDialog.pages[index];
    for (GtkWidget*& none : record.noneButtons) {
        if (none && gtk_radio_button_get_group(GTK_RADIO_BUTTON(none)) ==
                        gtk_radio_button_get_group(GTK_RADIO_BUTTON(leader))) {
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(none), TRUE);
            return;
        }
        if (!none) {
            none = gtk_radio_button_new_from_widget(GTK_RADIO_BUTTON(leader));
            g_object_ref_sink(none);
            gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(none), TRUE);
            return;
        }
    }
}

void PageSetText(PageWindow page, int control, const char* text) {
    GtkWidget* widget = Control(page, control);
    if (!widget) return;
    std::string utf8 = WithoutCarriageReturns(ToUtf8(text));
    QuietScope quiet;
    if (GTK_IS_LABEL(widget))
        gtk_label_set_text(GTK_LABEL(widget), utf8.c_str());
    else if (GTK_IS_ENTRY(widget))
        gtk_entry_set_text(GTK_ENTRY(widget), utf8.c_str());
    else if (GTK_IS_BUTTON(widget))
        gtk_button_set_label(GTK_BUTTON(widget), utf8.c_str());
}

void PageEnable(PageWindow page, int control, bool enabled) {
    GtkWidget* widget = Control(page, control);
    if (widget) gtk_widget_set_sensitive(widget, enabled);
}

void PageRepaintSwatch(PageWindow page, int control) {
    GtkWidget* widget = Control(page, control);
    if (widget) gtk_widget_queue_draw(widget);
}

void PageMakeLink(PageWindow page, int control) {
    GtkWidget* button = Control(page, control);
    if (!button || !GTK_IS_BUTTON(button)) return;
    gtk_button_set_relief(GTK_BUTTON(button), GTK_RELIEF_NONE);
    // Attributes belong to the label, so they stay whatever its text.
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(button));
    if (GTK_IS_LABEL(label)) {
        PangoAttrList* attributes = pango_attr_list_new();
        pango_attr_list_insert(attributes, pango_attr_foreground_new(0, 0, 0xFFFF));
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        gtk_label_set_attributes(GTK_LABEL(label), attributes);
        pango_attr_list_unref(attributes);
    }
    if (gtk_widget_get_realized(button))
        OnLinkRealized(button, nullptr);
    else
        g_signal_connect(button, "realize", G_CALLBACK(OnLinkRealized), nullptr);
}

void PageShowInformation(PageWindow, const char* text, const char* caption) {
    std::string body = WithoutCarriageReturns(ToUtf8(text));
    GtkWidget* message = gtk_message_dialog_new(Owner(), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO,
                                                GTK_BUTTONS_OK, "%s", body.c_str());
    gtk_window_set_title(GTK_WINDOW(message), ToUtf8(caption).c_str());
    gtk_dialog_run(GTK_DIALOG(message));
    gtk_widget_destroy(message);
}

bool ChooseTextColor(PageWindow, uint32_t start, uint32_t* chosen) {
    return GtkChooseColour(Owner(), start, chosen);
}

bool ChooseFaceName(PageWindow, const char* face, char* chosen, size_t size) {
    return GtkChooseFace(Owner(), face, chosen, size);
}

bool ChooseFile(PageWindow, const FileChooserRequest& request, char* path, size_t size) {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        ToUtf8(request.title).c_str(), Owner(), GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel",
        GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    gtk_file_chooser_set_local_only(chooser, TRUE);
    for (int i = 0; i < request.filterCount; ++i) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, ToUtf8(request.filters[i].name).c_str());
        gchar** patterns = g_strsplit(request.filters[i].pattern, ";", -1);
        // "*.*" means every file on Windows, names without a dot included.
        for (gchar** pattern = patterns; *pattern; ++pattern) {
            bool everything = strcmp(*pattern, kWindowsAllFiles) == 0;
            gtk_file_filter_add_pattern(filter, everything ? kAllFiles : *pattern);
        }
        g_strfreev(patterns);
        gtk_file_chooser_add_filter(chooser, filter);
        if (i == request.initialFilter) gtk_file_chooser_set_filter(chooser, filter);
    }
    bool confirmed = false;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        // An open chooser returns existing files only; one that does not fit
        // is refused rather than cut into another file's name.
        confirmed = chosen && IsRegularFile(chosen) && CopyPath(chosen, path, size);
        g_free(chosen);
    }
    gtk_widget_destroy(dialog);
    return confirmed;
}

bool RunSaverForPreview() {
    // The running program by its own path, never a name looked up on PATH.
    char program[kModulePathSize];
    if (!GetProgramPath(program, sizeof program)) return false;
    gchar* argv[] = {program, const_cast<gchar*>(kPreviewArgument), nullptr};
    // Without G_SPAWN_DO_NOT_REAP_CHILD the saver is started through an
    // intermediate child and never becomes our zombie.
    return g_spawn_async(nullptr, argv, nullptr, G_SPAWN_STDIN_FROM_DEV_NULL, nullptr, nullptr,
                         nullptr, nullptr) != FALSE;
}

HelpPageLookup FindHelpPage(const char* appDir, char* path, size_t size) {
    if (!appDir || !*appDir) {
        // A package cannot write a user's AppDir: its help page lies in the
        // installed documentation instead.
        const char* installed = CHRONOVALE_INSTALLED_HELP_PAGE;
        if (*installed && IsRegularFile(installed) && CopyPath(installed, path, size))
            return HelpPageLookup::Found;
        return HelpPageLookup::NoFolder;
    }
    std::string page = std::string(appDir) + kHelpPageName;
    // A relative folder is the saver's own folder's, where the page is opened.
    char program[kModulePathSize];
    if (appDir[0] != '/' && GetProgramPath(program, sizeof program)) {
        std::string folder(program);
        page = folder.substr(0, folder.rfind('/') + 1) + page;
    }
    if (!IsRegularFile(page.c_str()) || !CopyPath(page, path, size)) return HelpPageLookup::Missing;
    return HelpPageLookup::Found;
}
