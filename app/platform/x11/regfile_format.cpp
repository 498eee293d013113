// Parser and writer of the settings file's registry-format text. Every line
// is read on its own, so one damaged line loses at most the value it names;
// lines this store does not understand are kept and written back unchanged.
// The grammar of single lines is regfile_syntax.cpp's.
#include "regfile_format.h"

#include <algorithm>
#include <unordered_map>

#include "ansi_codepage.h"
#include "regfile_syntax.h"

using namespace regfile;

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr size_t kUtf16UnitSize = 2;
constexpr std::string_view kUnreadablePrefix = "; ";  // how a line that could not be read is kept

}  // namespace

RegFileDocument::RegFileDocument() {
    Line header;
    header.pieces.push_back(MakePiece(std::string(kRegFileHeader)));
    lines.push_back(header);
}

std::string RegFileDocument::Encode(std::string_view text) const {
    if (encoding == Encoding::Ansi) return std::string(text);
    std::string out;
    out.reserve(text.size() * kUtf16UnitSize);
    for (char c : text) {
        uint32_t unit = AnsiToUnicode(static_cast<unsigned char>(c));
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>(unit >> 8));
    }
    return out;
}

std::string RegFileDocument::RawFrom(const Piece& piece, size_t textOffset) const {
    size_t unit = encoding == Encoding::Ansi ? 1 : kUtf16UnitSize;
    return piece.raw.substr(std::min(piece.raw.size(), textOffset * unit));
}

RegFileDocument::Piece RegFileDocument::MakePiece(const std::string& text) const {
    Piece piece;
    piece.text = text;
    piece.raw = Encode(text);
    piece.end = newline;
    return piece;
}

RegFileDocument::Line RegFileDocument::MakeCommentLine(const std::string& raw) const {
    Line line;
    Piece piece;
    piece.raw = raw;
    // A stray last byte of a UTF-16 file would shift every character after it.
    if (encoding == Encoding::Utf16Le && piece.raw.size() % kUtf16UnitSize != 0) piece.raw.pop_back();
    piece.text = "; ";  // only its first character is ever looked at
    piece.commentAt = 0;
    piece.end = newline;
    line.pieces.push_back(std::move(piece));
    return line;
}

RegParseResult RegFileDocument::Parse(std::string_view bytes) {
    *this = RegFileDocument();
    if (bytes.size() > kRegFileMaxSize) return RegParseResult::Unparseable;

    // The decoded text: one byte per character of the file. UTF-16 is
    // recognised by its byte-order mark, as the registry editor writes it.
    std::string text;
    Encoding fileEncoding = Encoding::Ansi;
    std::string_view body = bytes;
    if (bytes.substr(0, kUtf16LeBom.size()) == kUtf16LeBom) {
        fileEncoding = Encoding::Utf16Le;
        body.remove_prefix(kUtf16LeBom.size());
        text.reserve(body.size() / kUtf16UnitSize + 1);
        for (size_t i = 0; i + 1 < body.size(); i += kUtf16UnitSize) {
            uint16_t unit = static_cast<uint16_t>(static_cast<unsigned char>(body[i]) |
                                                  (static_cast<unsigned char>(body[i + 1]) << 8));
            if (unit == 0) return RegParseResult::Unparseable;
            int ansi = UnicodeToAnsi(unit);
            text.push_back(ansi >= 0 ? static_cast<char>(ansi) : '\0');  // zero: no such character
        }
        if (body.size() % kUtf16UnitSize != 0) text.push_back('\0');  // a stray last byte
    } else {
        if (bytes.find('\0') != std::string_view::npos) return RegParseResult::Unparseable;
        text.assign(bytes);
    }
    std::string_view textView = text;
    if (textView.find_first_not_of(std::string_view(" \t\r\n")) == std::string_view::npos)
        return RegParseResult::Empty;

    std::vector<PhysicalLine> physical = SplitLines(textView);
    std::string_view first = physical[0].content;
    size_t headerStart = 0;
    if (fileEncoding == Encoding::Ansi && first.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        headerStart = kUtf8Bom.size();
    first = TrimRight(first.substr(headerStart));
    if (first != kRegFileHeader && first != kRegFileHeaderV5) return RegParseResult::Unparseable;

    encoding = fileEncoding;
    if (encoding == Encoding::Utf16Le) prefix.assign(kUtf16LeBom);
    else prefix.assign(bytes.substr(0, headerStart));
    if (!physical[0].end.empty()) newline.assign(physical[0].end);

    size_t unit = encoding == Encoding::Ansi ? 1 : kUtf16UnitSize;
    // The decoded text of a UTF-16 file starts after its mark; an ANSI
    // file's text is its bytes, mark and all.
    size_t rawBase = encoding == Encoding::Utf16Le ? kUtf16LeBom.size() : 0;
    auto pieceOf = [&](const PhysicalLine& line, size_t skip) {
        Piece piece;
        piece.text.assign(line.content.substr(skip));
        piece.end.assign(line.end);
        size_t from = rawBase + (line.start + skip) * unit;
        size_t to = std::min(bytes.size(), rawBase + (line.start + line.content.size()) * unit);
        piece.raw.assign(bytes.substr(from, to - from));
        return piece;
    };

    lines.clear();
    lines.emplace_back();
    lines.back().pieces.push_back(pieceOf(physical[0], headerStart));

    std::vector<std::pair<size_t, std::string>> deletions;  // (section, folded path)
    int current = -1;
    for (size_t i = 1; i < physical.size(); ++i) {
        Line line;
        line.pieces.push_back(pieceOf(physical[i], 0));
        std::string_view content = physical[i].content;
        std::string_view t = TrimLeft(content);
        size_t lead = content.size() - t.size();
        bool lossy = content.find('\0') != std::string_view::npos;

        if (!t.empty() && t.front() == ';') line.pieces[0].commentAt = lead;
        if (!t.empty() && t.front() == '[') {
            // A section whose header cannot be read owns the values below it,
            // so they are kept but never taken for another key's values.
            Section section;
            std::string_view path, below;
            if (!lossy && ParseSectionHeader(t, &path)) {
                bool deleting = !path.empty() && path.front() == '-';
                if (deleting) path.remove_prefix(1);
                if (BelowUserRoot(path, &below)) {
                    // Deleting the root itself is refused, as the registry refuses it.
                    if (!deleting) {
                        section.isUserKey = true;
                        section.keyPath.assign(below);
                    } else if (!below.empty()) {
                        deletions.emplace_back(sections.size(), Folded(below));
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
        } else if (!ParseQuoted(t, false, &line.name, &rest) ||
                   line.name.find('\0') != std::string::npos) {
            lines.push_back(std::move(line));  // names nothing this store can name: kept as it is
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
        size_t dataAt = content.size() - rest.size();
        Piece& head = line.pieces[0];

        bool continues = false;
        if (ParseLineData(content, dataAt, &line.value, &line.deletion, &continues, &head.commentAt)) {
            line.valid = !line.deletion;
            // Blank and comment lines inside the continuation are passed
            // over; the end of the file ends the data; any other line that
            // is not hex bytes loses the value and is read as a line of
            // its own, as are the passed-over lines before it.
            std::vector<Piece> pending;
            size_t next = i + 1;
            while (continues) {
                if (next >= physical.size()) {
                    line.openEnded = true;
                    break;
                }
                Piece piece = pieceOf(physical[next], 0);
                std::string_view c = physical[next].content;
                std::string_view ct = TrimLeft(c);
                if (ct.empty() || ct.front() == ';') {
                    if (!ct.empty()) piece.commentAt = c.size() - ct.size();
                    pending.push_back(std::move(piece));
                    ++next;
                    continue;
                }
                std::string more;
                if (HexDigitValue(ct.front()) < 0 ||
                    !ParseHexList(c, 0, &more, &continues, &piece.commentAt)) {
                    line.valid = false;
                    pending.clear();
                    break;
                }
                line.value.data += more;
                for (Piece& p : pending) line.pieces.push_back(std::move(p));
                pending.clear();
                line.pieces.push_back(std::move(piece));
                i = next++;
            }
            if (line.openEnded) {
                for (Piece& p : pending) line.pieces.push_back(std::move(p));
                i = physical.size() - 1;
            }
        }
        // A character the code page cannot hold makes the data unreadable.
        for (const Piece& piece : line.pieces) {
            if (piece.text.find('\0') != std::string::npos) line.valid = line.deletion = false;
        }
        if (!line.valid) line.value = RegValue{};
        lines.push_back(std::move(line));
    }
    MarkDeletedSections(deletions);
    return RegParseResult::Ok;
}

void RegFileDocument::MarkDeletedSections(const std::vector<std::pair<size_t, std::string>>& deletions) {
    // A [-KEY] line deletes that key and every key below it, as far as the
    // file has defined them before the line.
    if (deletions.empty()) return;
    std::unordered_map<std::string, size_t> lastDeletion;
    for (const auto& d : deletions) lastDeletion[d.second] = d.first;
    for (size_t s = 0; s < sections.size(); ++s) {
        if (!sections[s].isUserKey) continue;
        // The key itself, then each key above it.
        for (std::string path = Folded(sections[s].keyPath);;) {
            auto found = lastDeletion.find(path);
            if (found != lastDeletion.end() && found->second > s) {
                sections[s].live = false;
                break;
            }
            size_t slash = path.rfind('\\');
            if (slash == std::string::npos) break;
            path.resize(slash);
        }
    }
}

std::string RegFileDocument::Serialise() const {
    std::string out = prefix;
    for (const Line& line : lines) {
        for (const Piece& piece : line.pieces) {
            out += piece.raw;
            out += Encode(piece.end);
        }
    }
    return out;
}

std::vector<int> RegFileDocument::MatchingSections(std::string_view keyPath) const {
    std::vector<int> out;
    for (size_t s = 0; s < sections.size(); ++s) {
        if (sections[s].isUserKey && sections[s].live && RegNamesEqual(sections[s].keyPath, keyPath))
            out.push_back(static_cast<int>(s));
    }
    return out;
}

std::vector<bool> RegFileDocument::InKeyTable(const std::vector<int>& matching) const {
    // A table of the matching sections keeps look-ups linear: a file may
    // repeat the key many thousand times.
    std::vector<bool> inKey(sections.size(), false);
    for (int s : matching) inKey[static_cast<size_t>(s)] = true;
    return inKey;
}

int RegFileDocument::LastNamingLine(const std::vector<int>& matching, std::string_view valueName) const {
    std::vector<bool> inKey = InKeyTable(matching);
    for (size_t i = lines.size(); i-- > 0;) {
        const Line& line = lines[i];
        if (line.kind != LineKind::Value || line.section < 0) continue;
        if (inKey[static_cast<size_t>(line.section)] && RegNamesEqual(line.name, valueName))
            return static_cast<int>(i);
    }
    return -1;
}

int RegFileDocument::DefiningLine(const std::vector<int>& matching, std::string_view valueName) const {
    std::vector<bool> inKey = InKeyTable(matching);
    for (size_t i = lines.size(); i-- > 0;) {
        const Line& line = lines[i];
        if (line.kind != LineKind::Value || line.section < 0) continue;
        if (!inKey[static_cast<size_t>(line.section)] || !RegNamesEqual(line.name, valueName)) continue;
        if (line.valid) return static_cast<int>(i);
        if (line.deletion) return -1;
    }
    return -1;
}

bool RegFileDocument::HasKey(std::string_view keyPath) const {
    return !MatchingSections(keyPath).empty();
}

void RegFileDocument::EnsureLastLineEnded() {
    CloseOpenEndedValue();
    Piece& last = lines.back().pieces.back();
    if (last.end.empty()) {
        // A stray byte of a UTF-16 file would shift every character after it.
        if (encoding == Encoding::Utf16Le && last.raw.size() % kUtf16UnitSize != 0) last.raw.pop_back();
        last.end = newline;
    }
}

// A hex: value that runs on to the end of the file would swallow, or be lost
// to, whatever is added after it; it is written out whole first.
void RegFileDocument::CloseOpenEndedValue() {
    Line& last = lines.back();
    if (last.kind != LineKind::Value || !last.openEnded) return;
    if (!last.valid) {
        last.openEnded = false;
        return;
    }
    std::string name = last.name;
    RegValue value = last.value;
    ReplaceValueLine(lines.size() - 1, name, value);
}

bool RegFileDocument::EnsureKey(std::string_view keyPath) {
    if (HasKey(keyPath) || HasLineBreakOrZero(keyPath)) return false;
    EnsureLastLineEnded();
    // The registry editors leave a blank line before each key.
    if (!TrimRight(lines.back().pieces.back().text).empty()) {
        Line blank;
        blank.pieces.push_back(MakePiece(""));
        lines.push_back(std::move(blank));
    }
    Section section;
    section.keyPath.assign(keyPath);
    section.isUserKey = true;
    sections.push_back(section);

    Line header;
    header.pieces.push_back(MakePiece("[" + std::string(kRegFileRootKey) + (keyPath.empty() ? "" : "\\") +
                                      std::string(keyPath) + "]"));
    header.kind = LineKind::Section;
    header.section = static_cast<int>(sections.size()) - 1;
    lines.push_back(std::move(header));
    return true;
}

const RegValue* RegFileDocument::Find(std::string_view keyPath, std::string_view valueName) const {
    int index = DefiningLine(MatchingSections(keyPath), valueName);
    return index < 0 ? nullptr : &lines[index].value;
}

// The value written as the registry editors write it, one piece per line.
RegFileDocument::Line RegFileDocument::MakeValueLine(int section, const std::string& name,
                                                     const RegValue& value) const {
    Line line;
    line.kind = LineKind::Value;
    line.section = section;
    line.name = name;
    line.valid = true;
    line.value = value;
    std::string formatted = FormatValueLine(name, value, "\n");
    for (size_t start = 0;;) {
        size_t end = formatted.find('\n', start);
        line.pieces.push_back(MakePiece(formatted.substr(start, end == std::string::npos ? end : end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return line;
}

// Puts the value in place of line index. What the user wrote there stays
// readable: a line that could not be read becomes ';' comment lines above
// the new one, and the comments of a line that could be read stay with it.
void RegFileDocument::ReplaceValueLine(size_t index, std::string name, const RegValue& value) {
    Line old = std::move(lines[index]);
    Line line = MakeValueLine(old.section, name, value);
    std::vector<Line> above;
    bool unreadable = !old.valid && !old.deletion;
    if (unreadable) {
        for (const Piece& piece : old.pieces) {
            if (!TrimLeft(piece.text).empty()) above.push_back(MakeCommentLine(Encode(kUnreadablePrefix) + piece.raw));
        }
    } else if (old.pieces.size() == 1 && line.pieces.size() == 1 &&
               old.pieces[0].commentAt != std::string::npos) {
        // "Name"=data ; note: the note stays after the new data, with its blanks.
        const Piece& oldPiece = old.pieces[0];
        size_t from = oldPiece.commentAt;
        while (from > 0 && IsBlank(oldPiece.text[from - 1])) --from;
        Piece& piece = line.pieces[0];
        piece.raw += RawFrom(oldPiece, from);
        piece.text += oldPiece.text.substr(from);
        piece.commentAt = piece.text.size() - (oldPiece.text.size() - oldPiece.commentAt);
    } else {
        for (const Piece& piece : old.pieces) {
            if (piece.commentAt != std::string::npos) above.push_back(MakeCommentLine(RawFrom(piece, piece.commentAt)));
        }
    }
    // The old line's own end stays, so a last line without one stays without.
    line.pieces.back().end = old.pieces.back().end;
    lines[index] = std::move(line);
    lines.insert(lines.begin() + static_cast<long>(index), std::make_move_iterator(above.begin()),
                 std::make_move_iterator(above.end()));
}

bool RegFileDocument::Set(std::string_view keyPath, std::string_view valueName,
                          const RegValue& value) {
    if (HasLineBreakOrZero(valueName)) return false;
    EnsureKey(keyPath);
    std::vector<int> matching = MatchingSections(keyPath);
    if (matching.empty()) return false;

    int defining = DefiningLine(matching, valueName);
    if (defining >= 0 && lines[defining].value == value) return false;

    int last = LastNamingLine(matching, valueName);
    if (last >= 0) {
        ReplaceValueLine(static_cast<size_t>(last), lines[last].name, value);
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
        std::string_view t = TrimLeft(line.pieces[0].text);
        if (!t.empty() && t.front() != ';') insertAt = i + 1;
    }
    if (insertAt == lines.size()) {
        EnsureLastLineEnded();
        insertAt = lines.size();
    }

    lines.insert(lines.begin() + static_cast<long>(insertAt),
                 MakeValueLine(section, std::string(valueName), value));
    return true;
}

std::vector<RegFileDocument::Entry> RegFileDocument::Entries() const {
    // One pass from the end: the first well-formed line met defines a value,
    // a deletion met first removes it, malformed lines are passed over.
    struct Seen {
        size_t line;
        bool decided;
        bool readable;
    };
    std::unordered_map<std::string, Seen> seen;
    for (size_t i = lines.size(); i-- > 0;) {
        const Line& line = lines[i];
        if (line.kind != LineKind::Value || line.section < 0 || !sections[line.section].live) continue;
        std::string id = Folded(sections[line.section].keyPath);
        id.push_back('\0');
        id += Folded(line.name);
        auto found = seen.find(id);
        if (found == seen.end()) found = seen.emplace(id, Seen{i, false, false}).first;
        Seen& entry = found->second;
        if (entry.decided) continue;
        if (line.valid || line.deletion) {
            entry = Seen{line.valid ? i : entry.line, true, line.valid};
        }
    }
    std::vector<std::pair<size_t, bool>> order;
    for (const auto& item : seen) order.emplace_back(item.second.line, item.second.readable);
    std::sort(order.begin(), order.end());
    std::vector<Entry> out;
    for (const auto& item : order) {
        const Line& line = lines[item.first];
        out.push_back({sections[line.section].keyPath, line.name, item.second,
                       item.second ? line.value : RegValue{}});
    }
    return out;
}
