// Extruded outline glyphs of one installed face, built into display lists:
// CreateFontA + wglUseFontOutlinesA on Windows; fontconfig, FreeType and the
// GLU tessellator on Linux. Also whether a face is installed at all.
#pragma once

#include <cstddef>

struct GlyphMetrics {
    float blackBoxX;  // black-box width, em units
    float blackBoxY;  // black-box height
    float originX;    // glyph origin
    float originY;
    float cellIncX;   // horizontal pen advance after the glyph
    float cellIncY;
};

inline constexpr int kOutlineGlyphCount = 255;  // codes 0..254
inline constexpr float kOutlineExtrusion = 0.25f;

// With the OpenGL context current: fills lists listBase + c for codes
// c = 0 .. kOutlineGlyphCount - 1 with the glyph of faceName (the nearest
// installed face when it is missing) scaled so the em is 1.0, extruded from
// z = 0 to z = -kOutlineExtrusion, each list ending with the translation by
// its advance; lines instead of polygons when wireframe. metrics receives one
// record per code. On failure the lists stay empty and the metrics zero.
void BuildOutlineGlyphs(const char* faceName, bool wireframe, unsigned listBase, GlyphMetrics* metrics);

// Before the lists of length codes of text are called: where the platform
// builds glyphs itself (Linux), the lists of codes not drawn before are
// compiled now, and until then stay empty; where it builds them all at once
// (Windows) nothing is left to do. Needs the context current.
void PrepareOutlineGlyphs(const char* text, size_t length);

// True when a face of exactly this family name is installed.
bool IsFaceInstalled(const char* faceName);
