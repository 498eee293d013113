// The settings file's text format: parses a registry-format text file (ANSI,
// or UTF-16LE with a byte-order mark as the registry editor exports it) into
// a document that keeps every line byte for byte, answers typed value
// look-ups the way the registry editor would import the file, and changes
// single values in place, in the file's own encoding. Takes and gives bytes
// only; finding, locking and replacing the file is left to posix_regfile.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Value types with the registry's numbers, as the hex(N): form spells them.
inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;

// Files larger than this are not settings files; they are set aside.
inline constexpr size_t kRegFileMaxSize = 1024 * 1024;

inline constexpr std::string_view kRegFileHeader = "REGEDIT4";
inline constexpr std::string_view kRegFileHeaderV5 = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kRegFileRootKey = "HKEY_CURRENT_USER";

// One value as the registry holds it: its type and its data bytes. A REG_SZ
// holds its characters followed by one zero byte.
struct RegValue {
    uint32_t type = kRegNone;
    std::string data;

    bool operator==(const RegValue& other) const {
        return type == other.type && data == other.data;
    }
    bool operator!=(const RegValue& other) const { return !(*this == other); }
};

RegValue MakeDwordValue(int32_t number);
RegValue MakeTextValue(std::string_view text);

// Compares names of keys and values the way the registry does: letters of
// the Windows-1252 code page match in either case.
bool RegNamesEqual(std::string_view a, std::string_view b);

enum class RegParseResult {
    Ok,           // a settings file; every line that could be read is available
    Empty,        // no bytes, or white space only: a new file
    Unparseable,  // wrong header, binary data or too large; nothing was kept
};

class RegFileDocument {
public:
    // A document with the header line only.
    RegFileDocument();

    // Replaces the document's content by the parsed bytes. A line that cannot
    // be read costs only the value it names; the line itself is kept.
    RegParseResult Parse(std::string_view bytes);

    // The whole file: unchanged lines byte for byte, changed values in their
    // places, new values at the end of their key.
    std::string Serialise() const;

    // keyPath is below HKEY_CURRENT_USER (e.g. "Software\\Maker\\Product").
    bool HasKey(std::string_view keyPath) const;
    // Adds the key's section at the end when missing; true when it was added.
    bool EnsureKey(std::string_view keyPath);

    // The value as importing the file would leave it: the last well-formed
    // line that names it in the key (a malformed later line is skipped, as
    // the registry editor skips it); null when missing, deleted by a "=-"
    // line, or deleted with its key by a later [-KEY] line.
    const RegValue* Find(std::string_view keyPath, std::string_view valueName) const;

    // Stores the value, creating the key when missing. The last line naming
    // the value is replaced (keeping the stored spelling of the name); earlier
    // duplicates stay as dead lines, since dropping a line could join its
    // neighbours into a different value. A replaced line that could not be
    // read stays in the file as a ';' comment above the new one, and the
    // comments of a replaced line are kept. False when nothing had to
    // change, or when the name or key path cannot be written in this syntax.
    bool Set(std::string_view keyPath, std::string_view valueName, const RegValue& value);

    struct Entry {
        std::string keyPath;  // below the root, as spelled in the file
        std::string name;
        bool readable;   // false when the defining line is malformed
        RegValue value;  // a copy: changes to the document move its lines
    };
    // Every value of every key under HKEY_CURRENT_USER, each once, in file
    // order of its defining line.
    std::vector<Entry> Entries() const;

    enum class Encoding { Ansi, Utf16Le };
    Encoding FileEncoding() const { return encoding; }

private:
    enum class LineKind { Other, Section, Value };

    // One physical line. text is its content decoded to the ANSI code page,
    // one character per byte (ANSI) or per UTF-16 code unit; a character the
    // code page cannot hold is a zero byte there. raw is the content as the
    // file holds it, end the line end as text ("" on a last line without).
    struct Piece {
        std::string raw;
        std::string text;
        std::string end;
        size_t commentAt = std::string::npos;  // where a ';' comment starts in text
    };

    struct Line {
        std::vector<Piece> pieces;  // more than one for a continued hex: value
        LineKind kind = LineKind::Other;
        int section = -1;  // index into sections, -1 outside a usable key
        std::string name;  // value lines: the name (empty for the default value)
        bool valid = false;
        bool deletion = false;   // "Name"=-
        bool openEnded = false;  // a hex: value whose continuation met the end of the file
        RegValue value;
    };

    struct Section {
        std::string keyPath;  // below the root; empty with isUserKey false
        bool isUserKey = false;
        bool live = true;  // false when a later [-KEY] line deletes it
    };

    std::vector<int> MatchingSections(std::string_view keyPath) const;
    std::vector<bool> InKeyTable(const std::vector<int>& matching) const;
    int LastNamingLine(const std::vector<int>& matching, std::string_view valueName) const;
    int DefiningLine(const std::vector<int>& matching, std::string_view valueName) const;
    void MarkDeletedSections(const std::vector<std::pair<size_t, std::string>>& deletions);
    void EnsureLastLineEnded();
    void CloseOpenEndedValue();
    Line MakeValueLine(int section, const std::string& name, const RegValue& value) const;
    void ReplaceValueLine(size_t index, std::string name, const RegValue& value);
    Piece MakePiece(const std::string& text) const;
    Line MakeCommentLine(const std::string& raw) const;
    std::string Encode(std::string_view text) const;
    std::string RawFrom(const Piece& piece, size_t textOffset) const;

    Encoding encoding = Encoding::Ansi;
    std::string prefix;  // a byte-order mark ahead of the first line, as read
    std::vector<Line> lines;
    std::vector<Section> sections;
    std::string newline = "\n";  // the line end new lines are written with
};

// The serialised form of one value line, without its line end; empty when
// the name cannot be written (a line break or zero byte in it).
std::string FormatValueLine(std::string_view valueName, const RegValue& value,
                            std::string_view newline);
