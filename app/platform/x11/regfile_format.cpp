// Parser and writer of the settings file's registry-format text. Every line
// is read on its own, so one damaged line loses at most the value it names;
// lines this store does not understand are kept and written back unchanged.
#include "regfile_format.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace {

constexpr size_t kMaxHexDigitsPerByte = 2;
constexpr size_t kMaxDwordDigits = 8;
constexpr size_t kMaxTypeDigits = 8;
constexpr size_t kHexLineWidth = 76;  // where a long hex: value wraps, as the registry editors do
constexpr std::string_view kHexContinuationIndent = "  ";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

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
unsigned char FoldCase(unsigned char c) {
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

// A quoted string starting at s[0] == '"'. Only \\ and \" are escapes; any
// other backslash stands for itself. On success *rest is what follows the
// closing quote.
bool ParseQuoted(std::string_view s, std::string* out, std::string_view* rest) {
    out->clear();
    size_t i = 1;
    while (i < s.size()) {
        char c = s[i];
        if (c == '"') {
            *rest = s.substr(i + 1);
            return true;
        }
        if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
            out->push_back(s[i + 1]);
            i += 2;
            continue;
        }
        out->push_back(c);
        ++i;
    }
    return false;
}

// One physical line of hex bytes: "01,02,\" style. Appends the bytes; sets
// *continues when the line ends in a backslash.
bool ParseHexList(std::string_view s, std::string* out, bool* continues) {
    *continues = false;
    size_t i = 0;
    auto skipBlanks = [&] { while (i < s.size() && IsBlank(s[i])) ++i; };
    skipBlanks();
    while (i < s.size()) {
        if (s[i] == '\\') {
            ++i;
            skipBlanks();
            if (i != s.size()) return false;
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
        } else if (s[i] != '\\') {
            return false;
        }
    }
    return true;
}

struct PhysicalLine {
    std::string_view content;  // without the line end
    std::string_view raw;      // with it
};

std::vector<PhysicalLine> SplitLines(std::string_view bytes) {
    std::vector<PhysicalLine> out;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
        size_t next = end;
        if (next < bytes.size()) {
            if (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') next += 2;
            else next += 1;
        }
        out.push_back({bytes.substr(start, end - start), bytes.substr(start, next - start)});
        start = next;
    }
    return out;
}

bool ParseHexNumber(std::string_view digits, size_t maxDigits, uint32_t* number) {
    if (digits.empty() || digits.size() > maxDigits) return false;
    *number = 0;
    for (char c : digits) {
        if (HexDigitValue(c) < 0) return false;
        *number = *number * 16 + static_cast<uint32_t>(HexDigitValue(c));
    }
    return true;
}

// The data after "Name"=. Hex data may go on over the following physical
// lines; *index moves past the lines it takes and *raw gets their bytes.
bool ParseValueData(std::string_view rest, const std::vector<PhysicalLine>& physical, size_t* index,
                    std::string* raw, RegValue* value) {
    if (!rest.empty() && rest.front() == '"') {
        std::string text;
        std::string_view after;
        if (!ParseQuoted(rest, &text, &after) || !TrimRight(after).empty()) return false;
        *value = MakeTextValue(text);
        return true;
    }
    if (StartsWithNoCase(rest, "dword:")) {
        uint32_t number = 0;
        if (!ParseHexNumber(TrimRight(rest.substr(6)), kMaxDwordDigits, &number)) return false;
        *value = MakeDwordValue(static_cast<int32_t>(number));
        return true;
    }
    if (!StartsWithNoCase(rest, "hex")) return false;
    std::string_view form = rest.substr(3);
    uint32_t type = kRegBinary;
    if (!form.empty() && form.front() == '(') {
        size_t close = form.find(')');
        if (close == std::string_view::npos || !ParseHexNumber(form.substr(1, close - 1), kMaxTypeDigits, &type))
            return false;
        form.remove_prefix(close + 1);
    }
    if (form.empty() || form.front() != ':') return false;
    std::string data;
    bool continues = false;
    if (!ParseHexList(form.substr(1), &data, &continues)) return false;
    // A continuation line that is not a list of hex bytes is not taken: it is
    // read as a line of its own, and this value is lost instead.
    while (continues) {
        if (*index + 1 >= physical.size()) return false;
        std::string more;
        if (!ParseHexList(physical[*index + 1].content, &more, &continues)) return false;
        ++*index;
        raw->append(physical[*index].raw);
        data += more;
    }
    value->type = type;
    value->data = std::move(data);
    return true;
}

std::string EscapeQuoted(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

bool IsPlainText(const RegValue& value) {
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

}  // namespace

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

RegFileDocument::RegFileDocument() {
    Line header;
    header.raw = std::string(kRegFileHeader) + newline;
    lines.push_back(header);
}

RegParseResult RegFileDocument::Parse(std::string_view bytes) {
    *this = RegFileDocument();
    if (bytes.size() > kRegFileMaxSize) return RegParseResult::Unparseable;
    if (bytes.find_first_not_of(" \t\r\n") == std::string_view::npos) return RegParseResult::Empty;
    if (bytes.find('\0') != std::string_view::npos) return RegParseResult::Unparseable;

    std::vector<PhysicalLine> physical = SplitLines(bytes);
    std::string_view first = physical[0].content;
    if (first.substr(0, kUtf8Bom.size()) == kUtf8Bom) first.remove_prefix(kUtf8Bom.size());
    first = TrimRight(first);
    if (first != kRegFileHeader && first != kRegFileHeaderV5) return RegParseResult::Unparseable;

    lines.clear();
    std::string_view firstEnd = physical[0].raw.substr(physical[0].content.size());
    if (!firstEnd.empty()) newline.assign(firstEnd);
    lines.emplace_back();
    lines.back().raw.assign(physical[0].raw);

    int current = -1;
    for (size_t i = 1; i < physical.size(); ++i) {
        Line line;
        line.raw.assign(physical[i].raw);
        std::string_view t = TrimLeft(physical[i].content);

        if (!t.empty() && t.front() == '[') {
            // A section whose header cannot be read owns the values below it,
            // so they are kept but never taken for another key's values.
            Section section;
            std::string_view body = TrimRight(t);
            if (body.size() >= 2 && body.back() == ']') {
                std::string_view path = body.substr(1, body.size() - 2);
                if (StartsWithNoCase(path, kRegFileRootKey)) {
                    std::string_view below = path.substr(kRegFileRootKey.size());
                    if (below.empty()) {
                        section.isUserKey = true;
                    } else if (below.front() == '\\') {
                        section.isUserKey = true;
                        section.keyPath.assign(below.substr(1));
                    }
                }
            }
            sections.push_back(section);
            current = static_cast<int>(sections.size()) - 1;
            line.kind = LineKind::Section;
            line.section = current;
            lines.push_back(std::move(line));
            continue;
        }

        if (t.empty() || (t.front() != '"' && t.front() != '@')) {
            lines.push_back(std::move(line));  // blank, comment or unknown
            continue;
        }

        std::string_view rest;
        if (t.front() == '@') {
            rest = t.substr(1);
        } else if (!ParseQuoted(t, &line.name, &rest)) {
            lines.push_back(std::move(line));  // names nothing: kept as it is
            continue;
        }
        line.kind = LineKind::Value;
        line.section = (current >= 0 && sections[current].isUserKey) ? current : -1;

        rest = TrimLeft(rest);
        if (rest.empty() || rest.front() != '=') {
            lines.push_back(std::move(line));
            continue;
        }
        rest = TrimLeft(rest.substr(1));

        line.valid = ParseValueData(rest, physical, &i, &line.raw, &line.value);
        lines.push_back(std::move(line));
    }
    return RegParseResult::Ok;
}

std::string RegFileDocument::Serialise() const {
    size_t total = 0;
    for (const Line& line : lines) total += line.raw.size();
    std::string out;
    out.reserve(total);
    for (const Line& line : lines) out += line.raw;
    return out;
}

std::vector<int> RegFileDocument::MatchingSections(std::string_view keyPath) const {
    std::vector<int> out;
    for (size_t s = 0; s < sections.size(); ++s) {
        if (sections[s].isUserKey && RegNamesEqual(sections[s].keyPath, keyPath))
            out.push_back(static_cast<int>(s));
    }
    return out;
}

int RegFileDocument::LastDefinitionLine(const std::vector<int>& matching,
                                        std::string_view valueName) const {
    // A table of the matching sections keeps this linear: a file may repeat
    // the key many thousand times.
    std::vector<bool> inKey(sections.size(), false);
    for (int s : matching) inKey[static_cast<size_t>(s)] = true;
    for (size_t i = lines.size(); i-- > 0;) {
        const Line& line = lines[i];
        if (line.kind != LineKind::Value || line.section < 0) continue;
        if (inKey[static_cast<size_t>(line.section)] && RegNamesEqual(line.name, valueName))
            return static_cast<int>(i);
    }
    return -1;
}

bool RegFileDocument::HasKey(std::string_view keyPath) const {
    return !MatchingSections(keyPath).empty();
}

void RegFileDocument::EnsureLastLineEnded() {
    std::string& raw = lines.back().raw;
    if (raw.empty() || (raw.back() != '\n' && raw.back() != '\r')) raw += newline;
}

bool RegFileDocument::EnsureKey(std::string_view keyPath) {
    if (HasKey(keyPath) || HasLineBreakOrZero(keyPath)) return false;
    EnsureLastLineEnded();
    // The registry editors leave a blank line before each key. Not after a
    // line that ends in a backslash, though: the blank line would complete
    // that cut-off hex value and so change what the file says.
    std::string_view last = lines.back().raw;
    while (!last.empty() && (IsBlank(last.back()) || last.back() == '\r' || last.back() == '\n'))
        last.remove_suffix(1);
    bool dangling = !last.empty() && last.back() == '\\';
    if (!dangling && !last.empty()) {
        lines.emplace_back();
        lines.back().raw = newline;
    }
    Section section;
    section.keyPath.assign(keyPath);
    section.isUserKey = true;
    sections.push_back(section);

    Line header;
    header.raw = "[" + std::string(kRegFileRootKey) + (keyPath.empty() ? "" : "\\") +
                 std::string(keyPath) + "]" + newline;
    header.kind = LineKind::Section;
    header.section = static_cast<int>(sections.size()) - 1;
    lines.push_back(std::move(header));
    return true;
}

const RegValue* RegFileDocument::Find(std::string_view keyPath, std::string_view valueName) const {
    int index = LastDefinitionLine(MatchingSections(keyPath), valueName);
    if (index < 0 || !lines[index].valid) return nullptr;
    return &lines[index].value;
}

bool RegFileDocument::Set(std::string_view keyPath, std::string_view valueName,
                          const RegValue& value) {
    if (HasLineBreakOrZero(valueName)) return false;
    EnsureKey(keyPath);
    std::vector<int> matching = MatchingSections(keyPath);
    if (matching.empty()) return false;

    int last = LastDefinitionLine(matching, valueName);
    if (last >= 0 && lines[last].valid && lines[last].value == value) return false;

    if (last >= 0) {
        Line& line = lines[last];
        line.raw = FormatValueLine(line.name, value, newline) + newline;
        line.valid = true;
        line.value = value;
        return true;
    }

    // A new value goes after the last value (or the header) of the key's
    // last section, ahead of the blank lines and comments that lead to the
    // next section.
    int section = matching.back();
    size_t insertAt = 0;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind == LineKind::Section) {
            if (inSection) break;
            inSection = line.section == section;
            if (inSection) insertAt = i + 1;
            continue;
        }
        if (!inSection) continue;
        std::string_view t = line.raw;
        size_t first = t.find_first_not_of(" \t\r\n");
        if (first != std::string_view::npos && t[first] != ';') insertAt = i + 1;
    }
    if (insertAt == lines.size()) EnsureLastLineEnded();

    Line line;
    line.kind = LineKind::Value;
    line.section = section;
    line.name.assign(valueName);
    line.valid = true;
    line.value = value;
    line.raw = FormatValueLine(valueName, value, newline) + newline;
    lines.insert(lines.begin() + static_cast<long>(insertAt), std::move(line));
    return true;
}

std::vector<RegFileDocument::Entry> RegFileDocument::Entries() const {
    std::unordered_map<std::string, size_t> defining;
    std::vector<size_t> order;
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (line.kind != LineKind::Value || line.section < 0) continue;
        std::string id = Folded(sections[line.section].keyPath);
        id.push_back('\0');
        id += Folded(line.name);
        defining[id] = i;
    }
    for (const auto& item : defining) order.push_back(item.second);
    std::sort(order.begin(), order.end());
    std::vector<Entry> out;
    for (size_t i : order) {
        const Line& line = lines[i];
        out.push_back({sections[line.section].keyPath, line.name, line.valid,
                       line.valid ? line.value : RegValue{}});
    }
    return out;
}
