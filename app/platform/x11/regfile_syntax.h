// The grammar of single lines of the settings file's registry-format text,
// as the registry editor imports them: blanks, ';' comments after data,
// quoted strings, dword: and hex: data, section headers; names compared the
// registry's way; and the line form a value is written in. The document
// built from these lines is regfile_format.cpp's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "regfile_format.h"

namespace regfile {

bool IsBlank(char c);
int HexDigitValue(char c);  // -1 for anything but a hex digit
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);
// The name with every letter upper case as the registry compares names.
std::string Folded(std::string_view s);
bool StartsWithNoCase(std::string_view s, std::string_view prefix);
bool HasLineBreakOrZero(std::string_view s);

// A quoted string starting at s[0] == '"'; *rest gets what follows it.
// isData allows the \0 escape, which names do not have.
bool ParseQuoted(std::string_view s, bool isData, std::string* out, std::string_view* rest);

// True when only blanks or a ';' comment follow offset dataEnd of content;
// *commentAt gets the comment's offset, when there is one.
bool EndsData(std::string_view content, size_t dataEnd, size_t* commentAt);

// One physical line of hex bytes from offset start: appends the bytes, sets
// *continues when a backslash carries the data on to the next line.
bool ParseHexList(std::string_view content, size_t start, std::string* out, bool* continues,
                  size_t* commentAt);

// The data after "Name"= that starts at offset dataAt of content: a quoted
// text, dword:, hex: or hex(N): (whose continuation lines are left to the
// caller, *continues set), or '-', which deletes the value (*deletion set,
// value untouched). False when the line is malformed.
bool ParseLineData(std::string_view content, size_t dataAt, RegValue* value, bool* deletion,
                   bool* continues, size_t* commentAt);

struct PhysicalLine {
    size_t start;              // offset of the content in the text
    std::string_view content;  // without the line end
    std::string_view end;      // the line end: "\r\n", "\n", "\r", or "" at the end of the text
};
std::vector<PhysicalLine> SplitLines(std::string_view text);

// The key path of a section header line "[path]", which may be followed by
// blanks or a comment; a ']' inside the path is kept.
bool ParseSectionHeader(std::string_view line, std::string_view* path);

// The key path below HKEY_CURRENT_USER, when path is that root or below it.
bool BelowUserRoot(std::string_view path, std::string_view* below);

// The code page's byte for a UTF-16 code unit; -1 when it has none.
int UnicodeToAnsi(uint16_t unit);

}  // namespace regfile
