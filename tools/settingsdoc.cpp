// Writes the reference of every setting from the catalogue rows
// (app/settings_catalogue.def), so the documentation cannot drift from what
// the saver stores. A host tool run by the build; it links nothing of the
// saver and touches no settings store.
//
//   settingsdoc --format FORMAT [--output FILE]
//
// FORMAT is one of the writers in kFormats below; without --output the text
// goes to standard output. The rows are checked first: a choice list that
// does not name every number of its range, or a default outside it, fails.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "product.h"

namespace {

enum class Kind { Bool, Int, Text };
enum class Origin { Dialog, RegistryOnly, Internal };

struct Row {
    const char* name;
    Kind kind;
    int64_t defaultNumber;
    const char* defaultText;  // the default exactly as the row spells it
    int64_t minimum;
    int64_t maximum;
    std::vector<std::string> choices;  // names of minimum, minimum + 1 ...
    int longest;                       // text values: longest meant text
    Origin origin;
    const char* summary;
};

std::vector<std::string> SplitChoices(const char* list) {
    std::vector<std::string> choices;
    if (*list == '\0') return choices;
    const char* start = list;
    for (const char* p = list;; ++p) {
        if (*p == '|' || *p == '\0') {
            choices.emplace_back(start, p);
            if (*p == '\0') break;
            start = p + 1;
        }
    }
    return choices;
}

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = {
#define SETTING_BOOL(name, def, origin, summary) \
    {#name, Kind::Bool, def, #def, 0, 1, {}, 0, Origin::origin, summary},
#define SETTING_INT(name, def, minimum, maximum, choices, origin, summary) \
    {#name, Kind::Int, def, #def, minimum, maximum, SplitChoices(choices), 0, Origin::origin, summary},
#define SETTING_TEXT(name, def, longest, origin, summary) \
    {#name, Kind::Text, 0, def, 0, 0, {}, longest, Origin::origin, summary},
#include "settings_catalogue.def"
#undef SETTING_BOOL
#undef SETTING_INT
#undef SETTING_TEXT
    };
    return rows;
}

bool CheckRows(const std::vector<Row>& rows) {
    bool good = true;
    for (const Row& row : rows) {
        if (row.kind == Kind::Text) continue;
        if (row.defaultNumber < row.minimum || row.defaultNumber > row.maximum) {
            fprintf(stderr, "settingsdoc: %s: default outside %" PRId64 "..%" PRId64 "\n",
                    row.name, row.minimum, row.maximum);
            good = false;
        }
        int64_t span = row.maximum - row.minimum + 1;
        if (!row.choices.empty() && static_cast<int64_t>(row.choices.size()) != span) {
            fprintf(stderr, "settingsdoc: %s: %zu choices for %" PRId64 " numbers\n", row.name,
                    row.choices.size(), span);
            good = false;
        }
    }
    return good;
}

// Plain-language pieces shared by every format.

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Bool: return "bool";
    case Kind::Int: return "int";
    case Kind::Text: return "text";
    }
    return "";
}

const char* OriginName(Origin origin) {
    switch (origin) {
    case Origin::Dialog: return "configuration dialog";
    case Origin::RegistryOnly: return "by hand only";
    case Origin::Internal: return "the saver or its installer";
    }
    return "";
}

bool ShownInHex(const Row& row) {
    return strncmp(row.defaultText, "0x", 2) == 0 || strncmp(row.defaultText, "0X", 2) == 0;
}

std::string Number(const Row& row, int64_t value) {
    char text[32];
    if (ShownInHex(row))
        snprintf(text, sizeof text, "0x%06" PRIX64, static_cast<uint64_t>(value));
    else
        snprintf(text, sizeof text, "%" PRId64, value);
    return text;
}

std::string DefaultText(const Row& row) {
    if (row.kind == Kind::Text) return std::string("\"") + row.defaultText + "\"";
    return Number(row, row.defaultNumber);
}

std::string RangeText(const Row& row) {
    switch (row.kind) {
    case Kind::Bool: return "0 (off) or 1 (on)";
    case Kind::Text: return "up to " + std::to_string(row.longest) + " characters";
    case Kind::Int: break;
    }
    if (!row.choices.empty()) {
        std::string text;
        for (size_t i = 0; i < row.choices.size(); ++i) {
            if (i) text += "; ";
            text += std::to_string(row.minimum + static_cast<int64_t>(i)) + ": " + row.choices[i];
        }
        return text;
    }
    bool lowest = row.minimum == INT32_MIN;
    bool highest = row.maximum == INT32_MAX;
    if (lowest && highest) return "any 32-bit number";
    if (highest) return Number(row, row.minimum) + " or more";
    if (lowest) return Number(row, row.maximum) + " or less";
    return Number(row, row.minimum) + " to " + Number(row, row.maximum);
}

// Markdown: one table, with a cell's "|" escaped.

std::string MarkdownCell(const std::string& text) {
    std::string cell;
    for (char c : text) {
        if (c == '|') cell += '\\';
        cell += c;
    }
    return cell;
}

void WriteMarkdown(FILE* out, const std::vector<Row>& rows) {
    fprintf(out,
            "<!-- Generated by tools/settingsdoc.cpp from app/settings_catalogue.def; "
            "edit those, not this file. -->\n"
            "# Settings\n\n"
            "%s keeps its %zu settings as named values under the key `%s` of the current "
            "user (on Linux, in the settings file that stands in for that key). Each value "
            "is created with its default at the first start, is read at every start and is "
            "written at once when the configuration dialog changes it; a saver that is "
            "already running does not see the change.\n\n"
            "Booleans and numbers are stored as 32-bit numbers, texts as text. The range "
            "is what the saver's readers expect; a number outside it is kept as stored, not "
            "corrected. Colours are packed 0x00BBGGRR (red in "
            "the low byte). \"Set by\" says who changes a value: the configuration dialog, "
            "nobody but a person editing the store by hand, or the saver (or its installer) for its own bookkeeping.\n\n"
            "| # | Value | Type | Default | Range | Set by | Description |\n"
            "|---|---|---|---|---|---|---|\n",
            kProduct.productName, rows.size(), kProduct.registryKeyPath);
    int number = 1;
    for (const Row& row : rows) {
        fprintf(out, "| %d | `%s` | %s | %s | %s | %s | %s |\n", number++, row.name,
                KindName(row.kind), MarkdownCell(DefaultText(row)).c_str(),
                MarkdownCell(RangeText(row)).c_str(), OriginName(row.origin),
                MarkdownCell(row.summary).c_str());
    }
}

// What the saver shows, in the words of the man page and the daemon's
// description.
constexpr const char* kWhatItShows =
    "shows the time of day as lit, extruded three-dimensional text flying towards the "
    "viewer out of the depth of an OpenGL scene. Every second a new time comes into view far "
    "away, carrying the time a few seconds ahead, and reaches the front of the screen at the "
    "very moment the clock shows it.";

std::string LowerCase(const char* text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

std::string UpperCase(const std::string& text) {
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

// roff: backslashes escaped, a leading dot or quote kept from becoming a request.
std::string Roff(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if ((c == '.' || c == '\'') && (i == 0 || text[i - 1] == '\n')) out += "\\&";
        if (c == '\\') out += "\\e";
        else out += c;
    }
    return out;
}

const char* OriginForMan(Origin origin) {
    switch (origin) {
    case Origin::Dialog: return "Set in the settings dialog.";
    case Origin::RegistryOnly: return "No page of the dialog offers it; edit the file by hand.";
    case Origin::Internal: return "Kept by the saver itself.";
    }
    return "";
}

// The man page of the saver, section 6: its modes and options, the settings
// file and every value in it.
void WriteManPage(FILE* out, const std::vector<Row>& rows) {
    std::string program = LowerCase(kProduct.productName);
    const char* p = program.c_str();
    fprintf(out,
            ".\\\" Generated by tools/settingsdoc.cpp from app/settings_catalogue.def; "
            "edit those, not this file.\n"
            ".TH %s 6 \"\" \"%s %s\" \"Screensavers\"\n"
            ".SH NAME\n%s \\- %s clock screensaver with lit 3D time\n"
            ".SH SYNOPSIS\n"
            ".B %s\n[\\fB\\-\\-root\\fR] [\\fB\\-\\-window\\-id\\fR \\fIID\\fR] [\\fB\\-\\-window\\fR]\n"
            ".br\n.B %s \\-c\n"
            ".SH DESCRIPTION\n%s %s\n"
            ".PP\nA desktop screensaver daemon starts it with \\fB\\-\\-root\\fR, and with "
            "\\fB\\-\\-window\\-id\\fR for the preview of its settings program. Its settings are "
            "in its own dialog, opened by \\fB%s \\-c\\fR or by the menu entry "
            "\\(lq%s Settings\\(rq; each change there is saved at once.\n"
            ".PP\nAny key, a mouse button or a mouse movement ends a full-screen run. "
            "\\fBF5\\fR saves a screenshot, \\fIps_screenshot_000.bmp\\fR and on, beside the program "
            "when that folder can be written, else in the folder named by "
            "\\fBXDG_PICTURES_DIR\\fR or the home folder.\n",
            UpperCase(p).c_str(), kProduct.productName, kProduct.versionText, p,
            kProduct.productName, p, p, kProduct.productName, kWhatItShows, p,
            kProduct.productName);
    fprintf(out,
            ".SH OPTIONS\n"
            "Options take one dash or two.\n"
            ".TP\n.B \\-\\-root\nDraw full screen: into the window named by "
            "\\fBXSCREENSAVER_WINDOW\\fR when the daemon sets it, else on the root window.\n"
            ".TP\n.BI \\-\\-window\\-id \" ID\"\nDraw into the existing window \\fIID\\fR "
            "(decimal, or hexadecimal after 0x), following its size and ending with it.\n"
            ".TP\n.B \\-\\-window\nDraw in an ordinary window of its own.\n"
            ".TP\n.BR \\-c \", no option\"\nOpen the settings dialog.\n"
            ".TP\n.B \\-s\nRun full screen in a window of its own above every other.\n"
            ".TP\n.BI \\-p \" ID\"\nPreview inside window \\fIID\\fR (decimal).\n"
            ".PP\nNext to \\fB\\-\\-root\\fR or \\fB\\-\\-window\\-id\\fR, any other option "
            "(such as \\fB\\-\\-fps\\fR or \\fB\\-\\-delay\\fR \\fIN\\fR, which the daemon's "
            "users add) is ignored with a one-line note on standard error.\n");
    fprintf(out,
            ".SH \"SETTINGS FILE\"\n"
            "The settings are the named values of the key \\fB%s\\fR, kept in the text file "
            "\\fI$XDG_CONFIG_HOME/%s/%s.reg\\fR (\\fI~/.config\\fR when \\fBXDG_CONFIG_HOME\\fR "
            "is unset) in the registry's REGEDIT4 text format: "
            "\\fB\"Name\"=dword:\\fR\\fIhex\\fR for numbers and \\fB\"Name\"=\"\\fR\\fItext\\fR\\fB\"\\fR "
            "for texts. Every start writes all %zu values, so the file lists what there is to "
            "change. A value that is missing or of the wrong type falls back to its default. "
            "Edit the file only while neither the saver nor its dialog runs.\n",
            Roff(kProduct.registryKeyPath).c_str(), kProduct.companyName, kProduct.productName,
            rows.size());
    fprintf(out, ".SH SETTINGS\n");
    for (const Row& row : rows) {
        fprintf(out, ".TP\n.B %s\n%s\n.br\nType %s, default %s, range %s. %s\n", row.name,
                Roff(row.summary).c_str(), KindName(row.kind), Roff(DefaultText(row)).c_str(),
                Roff(RangeText(row)).c_str(), OriginForMan(row.origin));
    }
    fprintf(out,
            ".SH ENVIRONMENT\n"
            ".TP\n.B XSCREENSAVER_WINDOW\nThe daemon's window to draw into; used with "
            "\\fB\\-\\-root\\fR, or alone when no option is given.\n"
            ".TP\n.B XDG_CONFIG_HOME\nWhere the settings file lies.\n"
            ".SH FILES\n"
            ".TP\n.I /usr/libexec/xscreensaver/%s.so\nThe companion resource library; it "
            "must lie beside the program.\n"
            ".TP\n.I /usr/share/doc/%s/help.htm\nThe help page the dialog's Help button "
            "opens.\n"
            ".SH \"EXIT STATUS\"\n0 after a normal end, 1 after a fatal failure (such as a "
            "missing companion library), 255 for an unknown mode or a window id that names no "
            "window.\n"
            ".SH \"SEE ALSO\"\n.BR %s\\-launcher (1),\n.BR xscreensaver (1)\n",
            p, p, p);
}

// XML: text with the five markup characters escaped.
std::string Xml(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

// The desktop screensaver daemon's description of the saver: its name, that
// it draws with OpenGL, the option it runs with, and what it shows. Its
// settings are not repeated as the daemon's controls: they live in the
// saver's own dialog, which the description names.
void WriteDaemonXml(FILE* out, const std::vector<Row>& rows) {
    std::string program = LowerCase(kProduct.productName);
    size_t dialogSettings = 0;
    for (const Row& row : rows) dialogSettings += row.origin == Origin::Dialog;
    fprintf(out,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<!-- Generated by tools/settingsdoc.cpp from app/settings_catalogue.def; "
            "edit those, not this file. -->\n"
            "<screensaver name=\"%s\" _label=\"%s\" gl=\"yes\">\n"
            "  <command arg=\"--root\"/>\n"
            "  <_description>\n%s %s\n\n"
            "Its %zu settings are in its own dialog: run \"%s -c\", or choose \"%s "
            "Settings\" in the applications menu.\n",
            Xml(program).c_str(), Xml(kProduct.productName).c_str(),
            Xml(kProduct.productName).c_str(), Xml(kWhatItShows).c_str(), dialogSettings,
            Xml(program).c_str(), Xml(kProduct.productName).c_str());
    fprintf(out, "\nVersion %s, by %s.\n  </_description>\n</screensaver>\n",
            Xml(kProduct.versionText).c_str(), Xml(kProduct.companyName).c_str());
}

// The output formats. To add one, write a function of this shape over the
// rows and the helpers above, and give it a name here.
struct Format {
    const char* name;
    void (*write)(FILE* out, const std::vector<Row>& rows);
};

const Format kFormats[] = {
    {"markdown", WriteMarkdown},
    {"man", WriteManPage},
    {"daemon-xml", WriteDaemonXml},
};

const Format* FindFormat(const char* name) {
    for (const Format& format : kFormats)
        if (strcmp(format.name, name) == 0) return &format;
    return nullptr;
}

int Usage() {
    fprintf(stderr, "usage: settingsdoc --format FORMAT [--output FILE]\nformats:");
    for (const Format& format : kFormats) fprintf(stderr, " %s", format.name);
    fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const char* formatName = nullptr;
    const char* outputPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--format") == 0 && i + 1 < argc)
            formatName = argv[++i];
        else if (strcmp(argv[i], "--output") == 0 && i + 1 < argc)
            outputPath = argv[++i];
        else
            return Usage();
    }
    const Format* format = formatName ? FindFormat(formatName) : nullptr;
    if (!format) return Usage();
    if (!CheckRows(Rows())) return 1;

    FILE* out = outputPath ? fopen(outputPath, "w") : stdout;
    if (!out) {
        perror(outputPath);
        return 1;
    }
    format->write(out, Rows());
    bool written = !ferror(out);
    if (outputPath) written = fclose(out) == 0 && written;
    if (!written) {
        fprintf(stderr, "settingsdoc: could not write %s\n", outputPath ? outputPath : "the output");
        return 1;
    }
    return 0;
}
