// Byte texts of the saver are in the Windows ANSI code page (Windows-1252);
// these helpers give the Unicode code point of one byte and a UTF-8 copy of
// a whole text, for the Linux services that speak Unicode (fontconfig, FreeType).
#pragma once

#include <cstdint>
#include <string>

// The Unicode code point Windows gives the byte: codes 0x80..0x9F through
// the code page's table, every other byte unchanged. The five codes the code
// page leaves undefined map to the C1 control of the same value, as the
// Windows conversion does.
uint32_t AnsiToUnicode(unsigned char code);

// False for the five undefined codes 0x81, 0x8D, 0x8F, 0x90 and 0x9D.
bool IsAnsiCodeDefined(unsigned char code);

// The zero-terminated byte text converted to UTF-8.
std::string AnsiToUtf8(const char* text);
