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

// The output formats. To add one, write a function of this shape over the
// rows and the helpers above, and give it a name here.
struct Format {
    const char* name;
    void (*write)(FILE* out, const std::vector<Row>& rows);
};

const Format kFormats[] = {
    {"markdown", WriteMarkdown},
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
