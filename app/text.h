// Extruded 3D lettering from the outline font: the font's display lists and
// metrics, drawing a formatted string centred on the current origin, and the
// drawing of one text object. Building the glyphs themselves is the
// platform's (platform/outlinefont.h).
#pragma once

#include <cstdarg>
#include <cstddef>

#include "platform/outlinefont.h"
#include "vector3.h"

inline constexpr int kOutlineListCount = 256;     // code 255 keeps an empty list
inline constexpr size_t kText3DBufferSize = 256;  // 255 characters and a zero

struct OutlineFont {
    unsigned listBase = 0;  // 0: no lists reserved yet
    GlyphMetrics metrics[kOutlineListCount] = {};
};

// Reserves the 256 lists (freeing those of an earlier call) and has the
// platform build the glyphs of faceName into them, in the scene record's
// outline font; needs the context current.
void CreateOutlineFont(const char* faceName, bool wireframe);

// How far a text is moved so that it is centred: half the summed advances to
// the left and half the largest single advance down.
struct TextOffset {
    float x;
    float y;
};
TextOffset TextCentringOffset(const char* text, const GlyphMetrics* metrics);

// Formats into a buffer of kText3DBufferSize bytes; a longer text is cut.
void FormatText3D(char* buffer, const char* format, va_list arguments);

// Formats with printf rules (a longer result is cut at 255 characters) and
// draws the text centred on the current origin. Leaves the modelview matrix
// translated by the centring offset and the front face counter-clockwise.
void DrawText3D(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// One text object: at position, lit colour * brightness, its text centred.
void DrawTextObject(const CVector3& position, const CVector3& colour, double brightness,
                    const char* text);
