// One face opened with FreeType for a glyph build: the outline and the
// metrics of each byte code, in em units. The face match is
// fontconfig_faces', the display lists are freetype_outlines'.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include "fontconfig_faces.h"
#include "outline_geometry.h"
#include "platform/outlinefont.h"

class FreetypeFace {
public:
    FreetypeFace() = default;
    ~FreetypeFace() { Close(); }
    FreetypeFace(const FreetypeFace&) = delete;
    FreetypeFace& operator=(const FreetypeFace&) = delete;

    // Opens the face fontconfig matches for faceName (ANSI bytes). False
    // when there is none or it has no scalable outlines.
    bool Open(const char* faceName);
    void Close();

    const MatchedFace& Matched() const { return matched_; }

    // The glyph of the byte code: its outline flattened to about one font
    // unit and scaled so the em is 1.0, and its six metrics. Control codes
    // and the code page's undefined codes have no outline but keep the
    // advance of the face's glyph for their code point, if it has one; a
    // printable code the face lacks gets the face's missing-glyph symbol.
    // False (outline empty, metrics zero) when FreeType cannot load it.
    bool LoadGlyph(unsigned char code, GlyphOutline* outline, GlyphMetrics* metrics);

private:
    FT_UInt GlyphIndexFor(unsigned char code) const;

    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
    bool symbolEncoding_ = false;
    double emScale_ = 0.0;
    MatchedFace matched_;
};
