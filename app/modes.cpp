// Mode parsing as pure functions of the command-line text.
#include "modes.h"

#include <cstring>

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

// Finds a whole blank-separated word; returns what follows it, or nullptr.
const char* FindWord(const char* text, const char* word) {
    size_t length = strlen(word);
    for (const char* p = text; (p = strstr(p, word)) != nullptr; p += length) {
        bool startsWord = p == text || IsBlank(p[-1]);
        bool endsWord = p[length] == '\0' || IsBlank(p[length]);
        if (startsWord && endsWord) return p + length;
    }
    return nullptr;
}
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

SaverCommand ParseX11Arguments(const char* arguments, const char* xscreensaverWindow) {
    if (const char* rest = FindWord(arguments, "-window-id")) {
        uint64_t id = ReadWindowId(SkipBlanks(rest));
        return id ? SaverCommand{SaverMode::Hosted, id, true} : SaverCommand{SaverMode::None, 0, false};
    }
    bool hostedByDaemon = xscreensaverWindow && *xscreensaverWindow;
    if (FindWord(arguments, "-root")) {
        // The daemon names its own window; without it, draw on the root window (id 0).
        if (hostedByDaemon) return {SaverMode::Hosted, ReadWindowId(xscreensaverWindow), true};
        return {SaverMode::Hosted, 0, false};
    }
    if (FindWord(arguments, "-window")) return {SaverMode::Windowed, 0, false};
    if (hostedByDaemon && *SkipBlanks(arguments) == '\0') {
        uint64_t id = ReadWindowId(xscreensaverWindow);
        if (id) return {SaverMode::Hosted, id, true};
    }
    return ParseSaverArguments(arguments);
}
