// GTK's colour and font choosers for the Custom Controls page. The font
// chooser lists a family only when fontconfig has it as an outline font: the
// time text is built from glyph outlines, and "scalable" alone would let
// colour bitmap faces (emoji fonts) through.
#include "gtk_choosers.h"

#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstring>
#include <set>
#include <string>

#include "ansi_codepage.h"

namespace {
// The titles of the Windows choosers.
constexpr char kColourTitle[] = "Color";
constexpr char kFaceTitle[] = "Font";
constexpr double kFaceChooserPreviewSize = 20.0;

uint8_t ToByte(double channel) {
    return static_cast<uint8_t>(std::lround(std::fmin(1.0, std::fmax(0.0, channel)) * 255.0));
}

std::set<std::string> OutlineFamilies() {
    std::set<std::string> families;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    if (fonts) {
        for (int i = 0; i < fonts->nfont; ++i) {
            FcChar8* family = nullptr;
            for (int n = 0;
                 FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &family) == FcResultMatch; ++n)
                families.insert(reinterpret_cast<const char*>(family));
        }
        FcFontSetDestroy(fonts);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    return families;
}

gboolean KeepOutlineFace(const PangoFontFamily* family, const PangoFontFace* face, gpointer data) {
    auto* families = static_cast<const std::set<std::string>*>(data);
    // Pango adds slanted and bold faces of its own that no font file holds.
    if (face && pango_font_face_is_synthesized(const_cast<PangoFontFace*>(face))) return FALSE;
    const char* name = pango_font_family_get_name(const_cast<PangoFontFamily*>(family));
    return name && families->count(name) ? TRUE : FALSE;
}

// UTF-8 to the ANSI code page; a character the code page lacks becomes '?'.
std::string Utf8ToAnsi(const char* text) {
    std::string result;
    for (const char* p = text; p && *p; p = g_utf8_next_char(p)) {
        gunichar code = g_utf8_get_char(p);
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            result += static_cast<char>(code);
            continue;
        }
        char byte = '?';
        for (unsigned candidate = 0x80; candidate < 0xA0; ++candidate)
            if (IsAnsiCodeDefined(static_cast<unsigned char>(candidate)) &&
                AnsiToUnicode(static_cast<unsigned char>(candidate)) == code)
                byte = static_cast<char>(candidate);
        result += byte;
    }
    return result;
}

void CopyCut(const std::string& text, char* buffer, size_t size) {
    if (size == 0) return;
    size_t length = text.size() < size - 1 ? text.size() : size - 1;
    memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}
}  // namespace

bool GtkChooseColour(GtkWindow* owner, uint32_t start, uint32_t* chosen) {
    GtkWidget* dialog = gtk_color_chooser_dialog_new(kColourTitle, owner);
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(dialog), FALSE);
    GdkRGBA colour = {(start & 0xFF) / 255.0, ((start >> 8) & 0xFF) / 255.0,
                      ((start >> 16) & 0xFF) / 255.0, 1.0};
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(dialog), &colour);
    bool confirmed = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
    if (confirmed) {
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &colour);
        *chosen = static_cast<uint32_t>(ToByte(colour.red)) |
                  static_cast<uint32_t>(ToByte(colour.green)) << 8 |
                  static_cast<uint32_t>(ToByte(colour.blue)) << 16;
    }
    gtk_widget_destroy(dialog);
    return confirmed;
}

bool GtkChooseFace(GtkWindow* owner, const char* current, char* face, size_t size) {
    std::set<std::string> families = OutlineFamilies();
    GtkWidget* dialog = gtk_font_chooser_dialog_new(kFaceTitle, owner);
    GtkFontChooser* chooser = GTK_FONT_CHOOSER(dialog);
    gtk_font_chooser_set_filter_func(chooser, KeepOutlineFace, &families, nullptr);
    gtk_font_chooser_set_level(chooser, GTK_FONT_CHOOSER_LEVEL_FAMILY);
    if (current && *current) {
        PangoFontDescription* description = pango_font_description_new();
        pango_font_description_set_family(description, AnsiToUtf8(current).c_str());
        pango_font_description_set_size(
            description, static_cast<gint>(kFaceChooserPreviewSize * PANGO_SCALE));
        gtk_font_chooser_set_font_desc(chooser, description);
        pango_font_description_free(description);
    }
    bool confirmed = gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK;
    if (confirmed) {
        // The family of the chosen font; its size and style are dropped.
        PangoFontDescription* chosen = gtk_font_chooser_get_font_desc(chooser);
        const char* name = chosen ? pango_font_description_get_family(chosen) : nullptr;
        if (name && *name)
            CopyCut(Utf8ToAnsi(name), face, size);
        else
            confirmed = false;
        if (chosen) pango_font_description_free(chosen);
    }
    gtk_widget_destroy(dialog);
    return confirmed;
}
