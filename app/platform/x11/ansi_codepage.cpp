// Windows-1252 to Unicode for the Linux backend. Only 0x80..0x9F differ from
// ISO 8859-1; the table below holds exactly that range.
#include "ansi_codepage.h"

namespace {

constexpr unsigned char kTableFirst = 0x80;
constexpr unsigned char kTableLast = 0x9F;

// Zero marks the codes the code page leaves undefined.
constexpr uint16_t kHighControlRange[kTableLast - kTableFirst + 1] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,  // 88..8F
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,  // 98..9F
};

void AppendUtf8(uint32_t codePoint, std::string* out) {
    if (codePoint < 0x80) {
        out->push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        // Every code point of the code page lies in the basic plane.
        out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

uint32_t AnsiToUnicode(unsigned char code) {
    if (code < kTableFirst || code > kTableLast) return code;
    uint16_t mapped = kHighControlRange[code - kTableFirst];
    return mapped != 0 ? mapped : code;
}

bool IsAnsiCodeDefined(unsigned char code) {
    return code < kTableFirst || code > kTableLast || kHighControlRange[code - kTableFirst] != 0;
}

std::string AnsiToUtf8(const char* text) {
    std::string out;
    if (text == nullptr) return out;
    for (const char* p = text; *p != '\0'; ++p) {
        AppendUtf8(AnsiToUnicode(static_cast<unsigned char>(*p)), &out);
    }
    return out;
}
