// The registry-format grammar of single lines and the line form of values;
// see regfile_syntax.h. Works on text already decoded to the ANSI code page.
#include "regfile_syntax.h"

#include <cstdio>

#include "ansi_codepage.h"

namespace regfile {
namespace {

constexpr size_t kMaxHexDigitsPerByte = 2;
constexpr size_t kMaxDwordDigits = 8;
constexpr size_t kMaxTypeDigits = 8;
constexpr size_t kHexLineWidth = 76;  // where a long hex: value wraps, as the registry editors do
constexpr std::string_view kHexContinuationIndent = "  ";
constexpr std::string_view kDwordPrefix = "dword:";
constexpr std::string_view kHexPrefix = "hex";

}  // namespace

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Upper case in Windows-1252, the mapping the registry applies when it
// compares names.
static unsigned char FoldCase(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 'a' + 'A');
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A: return 0x8A;  // s with caron
        case 0x9C: return 0x8C;  // oe ligature
        case 0x9E: return 0x8E;  // z with caron
        case 0xFF: return 0x9F;  // y with diaeresis
        default: return c;
    }
}

std::string Folded(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return out;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && RegNamesEqual(s.substr(0, prefix.size()), prefix);
}

// A quoted string starting at s[0] == '"'. Only \\ and \" are escapes, and
// in data \0 stands for a zero character, which ends the text for every
// reader; any other backslash stands for itself. On success *rest is what
// follows the closing quote.
bool ParseQuoted(std::string_view s, bool isData, std::string* out, std::string_view* rest) {
    out->clear();
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            *rest = s.substr(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size() &&
            (s[i + 1] == '\\' || s[i + 1] == '"' || (isData && s[i + 1] == '0'))) {
            out->push_back(s[i + 1] == '0' ? '\0' : s[i + 1]);
            i += 2;
            continue;
        }
        out->push_back(c);
        ++i;
    }
    return false;
}

// What may follow a value's data on its line: nothing but blanks, or a ';'
// comment. ('#' starts no comment in this syntax.) *commentAt gets the
// comment's offset in the whole line, or npos.
bool EndsData(std::string_view content, size_t dataEnd, size_t* commentAt) {
    std::string_view rest = TrimLeft(content.substr(dataEnd));
    if (rest.empty()) return true;
    if (rest.front() != ';') return false;
    *commentAt = content.size() - rest.size();
    return true;
}

// One physical line of hex bytes: "01,02,\" style, from offset start of
// content. Appends the bytes; sets *continues when the data goes on after a
// backslash, and *commentAt where a ';' comment starts.
bool ParseHexList(std::string_view content, size_t start, std::string* out, bool* continues,
                  size_t* commentAt) {
    *continues = false;
    std::string_view s = content;
    size_t i = start;
    auto skipBlanks = [&] { while (i < s.size() && IsBlank(s[i])) ++i; };
    skipBlanks();
    while (i < s.size()) {
        if (s[i] == ';') return EndsData(content, i, commentAt);
        if (s[i] == '\\') {
            if (!EndsData(content, i + 1, commentAt)) return false;
            *continues = true;
            return true;
        }
        int byte = 0;
        size_t digits = 0;
        while (i < s.size() && digits < kMaxHexDigitsPerByte && HexDigitValue(s[i]) >= 0) {
            byte = byte * 16 + HexDigitValue(s[i]);
            ++i;
            ++digits;
        }
        if (digits == 0) return false;
        out->push_back(static_cast<char>(byte));
        skipBlanks();
        if (i == s.size()) return true;
        if (s[i] == ',') {
            ++i;
            skipBlanks();
        } else if (s[i] != '\\' && s[i] != ';') {
            return false;
        }
    }
    return true;
}

static bool ParseHexNumber(std::string_view digits, size_t maxDigits, uint32_t* number) {
    if (digits.empty() || digits.size() > maxDigits) return false;
    *number = 0;
    for (char c : digits) {
        if (HexDigitValue(c) < 0) return false;
        *number = *number * 16 + static_cast<uint32_t>(HexDigitValue(c));
    }
    return true;
}



std::vector<PhysicalLine> SplitLines(std::string_view text) {
    std::vector<PhysicalLine> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        size_t next = end;
        if (next < text.size()) {
            if (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') next += 2;
            else next += 1;
        }
        out.push_back({start, text.substr(start, end - start), text.substr(end, next - end)});
        start = next;
    }
    return out;
}

// The section header's key path: [path] with blanks or a comment after the
// closing bracket. The path runs to the bracket that such a tail follows,
// so a ']' inside a key name is kept.
bool ParseSectionHeader(std::string_view t, std::string_view* path) {
    for (size_t close = t.find(']'); close != std::string_view::npos; close = t.find(']', close + 1)) {
        size_t ignored = std::string_view::npos;
        if (EndsData(t, close + 1, &ignored)) {
            *path = t.substr(1, close - 1);
            return true;
        }
    }
    return false;
}

// The key path below HKEY_CURRENT_USER, when path is that root or below it.
bool BelowUserRoot(std::string_view path, std::string_view* below) {
    if (!StartsWithNoCase(path, kRegFileRootKey)) return false;
    std::string_view rest = path.substr(kRegFileRootKey.size());
    if (rest.empty()) {
        *below = rest;
        return true;
    }
    if (rest.front() != '\\') return false;
    *below = rest.substr(1);
    return true;
}

// The code page's byte for a UTF-16 code unit; -1 when it has none.
int UnicodeToAnsi(uint16_t unit) {
    static const std::vector<int16_t> table = [] {
        std::vector<int16_t> t(0x10000, -1);
        for (int b = 0; b < 256; ++b) t[AnsiToUnicode(static_cast<unsigned char>(b))] = static_cast<int16_t>(b);
        return t;
    }();
    return table[unit];
}

static std::string EscapeQuoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

static bool IsPlainText(const RegValue& value) {
    const std::string& d = value.data;
    if (d.empty() || d.back() != '\0') return false;
    for (size_t i = 0; i + 1 < d.size(); ++i) {
        if (d[i] == '\0' || d[i] == '\r' || d[i] == '\n') return false;
    }
    return true;
}

bool HasLineBreakOrZero(std::string_view s) {
    return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool ParseLineData(std::string_view content, size_t dataAt, RegValue* value, bool* deletion,
                   bool* continues, size_t* commentAt) {
    *deletion = false;
    *continues = false;
    std::string_view rest = content.substr(dataAt);
    if (!rest.empty() && rest.front() == '-') {
        *deletion = EndsData(content, dataAt + 1, commentAt);
        return *deletion;
    }
    if (!rest.empty() && rest.front() == '"') {
        std::string data;
        std::string_view after;
        if (!ParseQuoted(rest, true, &data, &after) ||
            !EndsData(content, content.size() - after.size(), commentAt))
            return false;
        *value = MakeTextValue(data);
        return true;
    }
    if (StartsWithNoCase(rest, kDwordPrefix)) {
        // Blanks may stand between "dword:" and its digits.
        size_t at = dataAt + kDwordPrefix.size();
        while (at < content.size() && IsBlank(content[at])) ++at;
        size_t digitsEnd = at;
        while (digitsEnd < content.size() && HexDigitValue(content[digitsEnd]) >= 0) ++digitsEnd;
        uint32_t number = 0;
        if (!ParseHexNumber(content.substr(at, digitsEnd - at), kMaxDwordDigits, &number) ||
            !EndsData(content, digitsEnd, commentAt))
            return false;
        *value = MakeDwordValue(static_cast<int32_t>(number));
        return true;
    }
    if (!StartsWithNoCase(rest, kHexPrefix)) return false;
    std::string_view form = rest.substr(kHexPrefix.size());
    uint32_t type = kRegBinary;
    if (!form.empty() && form.front() == '(') {
        size_t close = form.find(')');
        if (close == std::string_view::npos || !ParseHexNumber(form.substr(1, close - 1), kMaxTypeDigits, &type))
            return false;
        form.remove_prefix(close + 1);
    }
    std::string data;
    if (form.empty() || form.front() != ':' ||
        !ParseHexList(content, content.size() - form.size() + 1, &data, continues, commentAt))
        return false;
    value->type = type;
    value->data = std::move(data);
    return true;
}

}  // namespace regfile

using namespace regfile;

RegValue MakeDwordValue(int32_t number) {
    uint32_t u = static_cast<uint32_t>(number);
    RegValue value;
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i) value.data.push_back(static_cast<char>((u >> (8 * i)) & 0xFF));
    return value;
}

RegValue MakeTextValue(std::string_view text) {
    RegValue value;
    value.type = kRegSz;
    value.data.assign(text);
    value.data.push_back('\0');
    return value;
}

bool RegNamesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldCase(static_cast<unsigned char>(a[i])) != FoldCase(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string FormatValueLine(std::string_view valueName, const RegValue& value,
                            std::string_view newline) {
    if (HasLineBreakOrZero(valueName)) return std::string();
    std::string out = valueName.empty() ? std::string("@") : EscapeQuoted(valueName);
    out.push_back('=');
    if (value.type == kRegSz && IsPlainText(value)) {
        out += EscapeQuoted(std::string_view(value.data).substr(0, value.data.size() - 1));
        return out;
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        uint32_t u = 0;
        for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(value.data[i]);
        char digits[16];
        snprintf(digits, sizeof digits, "dword:%08x", u);
        out += digits;
        return out;
    }
    char prefix[32];
    if (value.type == kRegBinary) snprintf(prefix, sizeof prefix, "hex:");
    else snprintf(prefix, sizeof prefix, "hex(%x):", value.type);
    out += prefix;
    size_t lineLength = out.size();
    for (size_t i = 0; i < value.data.size(); ++i) {
        if (i > 0) {
            out.push_back(',');
            ++lineLength;
            if (lineLength + 3 > kHexLineWidth) {
                out.push_back('\\');
                out += newline;
                out += kHexContinuationIndent;
                lineLength = kHexContinuationIndent.size();
            }
        }
        char byte[4];
        snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(value.data[i]));
        out += byte;
        lineLength += 2;
    }
    return out;
}
