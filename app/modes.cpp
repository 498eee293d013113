// Mode parsing as pure functions of the command-line text.
#include "modes.h"

#include <cstring>
#include <string>
#include <vector>

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipBlanks(const char* p) {
    while (IsBlank(*p)) ++p;
    return p;
}

// Decimal digits up to the first non-digit. A number too large for a handle
// gives 0, which names no window.
uint64_t ReadDecimal(const char* p) {
    uint64_t value = 0;
    for (; IsDigit(*p); ++p) {
        uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (value > (UINT64_MAX - digit) / 10) return 0;
        value = value * 10 + digit;
    }
    return value;
}

// A window id as X11 tools print it: decimal, or hexadecimal after "0x".
uint64_t ReadWindowId(const char* p) {
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
        uint64_t value = 0;
        bool any = false;
        for (p += 2;; ++p) {
            int digit;
            if (IsDigit(*p)) digit = *p - '0';
            else if (*p >= 'a' && *p <= 'f') digit = *p - 'a' + 10;
            else if (*p >= 'A' && *p <= 'F') digit = *p - 'A' + 10;
            else break;
            if (value > (UINT64_MAX >> 4)) return 0;
            value = (value << 4) | static_cast<uint64_t>(digit);
            any = true;
        }
        return any ? value : 0;
    }
    return ReadDecimal(p);
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* SkipProgramPath(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    return SkipBlanks(p);
}

SaverCommand ParseSaverArguments(const char* arguments) {
    const char* p = arguments;
    while (IsBlank(*p) || *p == '-' || *p == '/') ++p;

    switch (Lower(*p)) {
    case '\0':
        return {SaverMode::Configure, 0, false};
    case 'c':
        if (p[1] == ':' && IsDigit(p[2])) return {SaverMode::Configure, ReadDecimal(p + 2), true};
        return {SaverMode::Configure, 0, false};
    case 's':
        return {SaverMode::FullScreen, 0, false};
    case 'p':
    case 'l':
        return {SaverMode::Preview, ReadDecimal(SkipBlanks(p + 1)), true};
    case 'a': {
        const char* digits = SkipBlanks(p + 1);
        return {SaverMode::ChangePassword, ReadDecimal(digits), IsDigit(*digits)};
    }
    default:
        return {SaverMode::None, 0, false};
    }
}

namespace {
// The X11 words are accepted with one dash or two: the daemon writes two
// ("--root", "--window-id 0x…"), older hosts and users one.
const char* OptionName(const std::string& word) {
    if (word.size() > 2 && word[0] == '-' && word[1] == '-') return word.c_str() + 1;
    if (word.size() > 1 && word[0] == '-') return word.c_str();
    return nullptr;
}

bool IsX11Word(const char* name) {
    return strcmp(name, "-root") == 0 || strcmp(name, "-window-id") == 0 || strcmp(name, "-window") == 0;
}

// A whole word that is a window id, with nothing after it; 0 otherwise.
uint64_t ReadWholeWindowId(const std::string& text) {
    const char* p = SkipBlanks(text.c_str());
    const char* end = p;
    while (*end && !IsBlank(*end)) ++end;
    if (*SkipBlanks(end) != '\0' || end == p) return 0;
    bool hex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X');
    for (const char* q = hex ? p + 2 : p; q < end; ++q) {
        bool digit = IsDigit(*q) || (hex && ((*q >= 'a' && *q <= 'f') || (*q >= 'A' && *q <= 'F')));
        if (!digit) return 0;
    }
    return ReadWindowId(p);
}

std::vector<std::string> SplitWords(const char* text) {
    std::vector<std::string> words;
    for (const char* p = SkipBlanks(text); *p; p = SkipBlanks(p)) {
        const char* start = p;
        while (*p && !IsBlank(*p)) ++p;
        words.emplace_back(start, p);
    }
    return words;
}

void Note(std::string* notes, const std::string& line) {
    if (notes) *notes += line + "\n";
}
}  // namespace

SaverCommand ParseX11Arguments(const char* arguments, const char* xscreensaverWindow, std::string* notes) {
    std::vector<std::string> words = SplitWords(arguments);
    bool root = false, windowed = false, idGiven = false;
    std::string idText;
    for (size_t i = 0; i < words.size(); ++i) {
        const char* name = OptionName(words[i]);
        if (!name || !IsX11Word(name)) continue;
        if (strcmp(name, "-root") == 0) root = true;
        else if (strcmp(name, "-window") == 0) windowed = true;
        else {
            idGiven = true;
            idText = i + 1 < words.size() ? words[i + 1] : std::string();
        }
    }

    std::string variable = xscreensaverWindow ? xscreensaverWindow : "";
    uint64_t variableId = ReadWholeWindowId(variable);
    if (!root && !windowed && !idGiven) {
        // The daemon may start a hack with only its variable set.
        if (!variable.empty() && *SkipBlanks(arguments) == '\0' && variableId)
            return {SaverMode::Hosted, variableId, true};
        return ParseSaverArguments(arguments);
    }

    // Next to an X11 word, whatever else the daemon or its user added is left
    // out: an option, with the word after it when that is its value.
    for (size_t i = 0; i < words.size(); ++i) {
        const char* name = OptionName(words[i]);
        if (name && IsX11Word(name)) {
            if (strcmp(name, "-window-id") == 0 && i + 1 < words.size()) ++i;
            continue;
        }
        std::string ignored = words[i];
        if (name && i + 1 < words.size() && !OptionName(words[i + 1])) ignored += " " + words[++i];
        Note(notes, "ignoring \"" + ignored + "\"");
    }

    if (idGiven) {
        uint64_t id = ReadWholeWindowId(idText);
        if (id) {
            if (root || windowed) Note(notes, std::string("drawing into window ") + idText + ", not " +
                                                  (root ? "the root window" : "a window of its own"));
            return {SaverMode::Hosted, id, true};
        }
        Note(notes, idText.empty() ? std::string("--window-id names no window")
                                   : "--window-id \"" + idText + "\" is not a window id");
        if (!root && !windowed) return {SaverMode::None, 0, false};
    }
    if (root) {
        if (windowed) Note(notes, "ignoring --window next to --root");
        // The daemon names its own window; without it, draw on the root window (id 0).
        if (variableId) return {SaverMode::Hosted, variableId, true};
        if (!variable.empty()) Note(notes, "ignoring XSCREENSAVER_WINDOW \"" + variable + "\": not a window id");
        return {SaverMode::Hosted, 0, false};
    }
    return {SaverMode::Windowed, 0, false};
}
