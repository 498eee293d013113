// Message boxes inside the desktop module: the text goes to standard error
// first (message_report.cpp), then a modal GTK message dialog shows it when a
// display can be opened. The saver's own message box (desktop_loader.cpp)
// reaches the same dialog through the module's entry.
#include <gtk/gtk.h>

#include <cstdint>
#include <string>

#include "gtk_dialogs.h"
#include "message_report.h"
#include "platform/messagebox.h"

namespace {
// Unicode for the Windows-1252 bytes 0x80..0x9F (0 where the code page has
// none); the bytes 0xA0..0xFF are the Latin-1 characters of the same value.
constexpr uint16_t kWindows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};
constexpr char32_t kReplacementCharacter = 0xFFFD;

void AppendUtf8(std::string* out, char32_t code) {
    if (code < 0x80) {
        *out += static_cast<char>(code);
    } else if (code < 0x800) {
        *out += static_cast<char>(0xC0 | (code >> 6));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        *out += static_cast<char>(0xE0 | (code >> 12));
        *out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// GTK wants UTF-8. Paths from the system already are; other texts are the
// program's own Windows-1252 bytes and are converted.
std::string ToUtf8(const std::string& text) {
    if (g_utf8_validate(text.c_str(), static_cast<gssize>(text.size()), nullptr)) return text;
    std::string result;
    for (unsigned char byte : text) {
        if (byte < 0x80) {
            result += static_cast<char>(byte);
        } else if (byte < 0xA0) {
            uint16_t code = kWindows1252High[byte - 0x80];
            AppendUtf8(&result, code ? code : kReplacementCharacter);
        } else {
            AppendUtf8(&result, byte);
        }
    }
    return result;
}
}  // namespace

void ShowMessageDialog(const char* body, const char* title, MessageIcon icon, bool topmost) {
    if (!gtk_init_check(nullptr, nullptr)) return;
    GtkMessageType type = icon == MessageIcon::Error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_WARNING;
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, type, GTK_BUTTONS_OK,
                                               "%s", ToUtf8(body).c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), ToUtf8(title).c_str());
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    if (topmost) gtk_window_set_keep_above(GTK_WINDOW(dialog), TRUE);
    gtk_window_present(GTK_WINDOW(dialog));
    gtk_dialog_run(GTK_DIALOG(dialog));
    gtk_widget_destroy(dialog);
    // Let the dialog leave the screen before the caller goes on or exits.
    while (gtk_events_pending()) gtk_main_iteration();
}

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost) {
    MessageReport report = ReportMessage(text, caption);
    ShowMessageDialog(report.body.c_str(), report.title.c_str(), icon, topmost);
}
