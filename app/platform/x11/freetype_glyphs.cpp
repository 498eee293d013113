// Reads glyph outlines in font units (no hinting, no bitmaps), so that a
// glyph's shape and metrics do not depend on any pixel size, and scales them
// to the em. Byte codes reach the face through the Windows ANSI code page.
#include "freetype_glyphs.h"

#include FT_BBOX_H

#include "ansi_codepage.h"

namespace {

constexpr FT_Int32 kLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP;
// Chords may stray about one font unit from the curves.
constexpr double kFlatnessFontUnits = 1.0;
// Symbol faces carry their glyphs at U+F000 + byte code.
constexpr FT_ULong kSymbolCodeBase = 0xF000;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

bool HasOutline(unsigned char code) {
    return code >= kFirstPrintable && code != kDelete && IsAnsiCodeDefined(code);
}

}  // namespace

bool FreetypeFace::Open(const char* faceName) {
    Close();
    if (!MatchFace(faceName, &matched_)) return false;
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return false;
    }
    if (FT_New_Face(library_, matched_.file.c_str(), matched_.index, &face_) != 0) {
        face_ = nullptr;
        Close();
        return false;
    }
    if (!FT_IS_SCALABLE(face_) || face_->units_per_EM == 0) {
        Close();
        return false;
    }
    // FreeType picks a Unicode map when the face has one; a symbol face
    // has only its symbol map, which Windows addresses by the raw byte.
    if (face_->charmap == nullptr || face_->charmap->encoding != FT_ENCODING_UNICODE) {
        symbolEncoding_ = FT_Select_Charmap(face_, FT_ENCODING_MS_SYMBOL) == 0;
    }
    emScale_ = 1.0 / face_->units_per_EM;
    return true;
}

void FreetypeFace::Close() {
    if (face_ != nullptr) FT_Done_Face(face_);
    if (library_ != nullptr) FT_Done_FreeType(library_);
    face_ = nullptr;
    library_ = nullptr;
    symbolEncoding_ = false;
    emScale_ = 0.0;
}

FT_UInt FreetypeFace::GlyphIndexFor(unsigned char code) const {
    if (symbolEncoding_) {
        FT_UInt index = FT_Get_Char_Index(face_, kSymbolCodeBase + code);
        return index != 0 ? index : FT_Get_Char_Index(face_, code);
    }
    return FT_Get_Char_Index(face_, AnsiToUnicode(code));
}

bool FreetypeFace::LoadGlyph(unsigned char code, GlyphOutline* outline, GlyphMetrics* metrics) {
    outline->contours.clear();
    *metrics = GlyphMetrics{};
    if (face_ == nullptr) return false;

    const FT_UInt glyphIndex = GlyphIndexFor(code);
    const bool drawn = HasOutline(code);
    // A code with nothing to draw and no glyph of its own has no advance.
    if (!drawn && glyphIndex == 0) return true;
    if (FT_Load_Glyph(face_, glyphIndex, kLoadFlags) != 0) return false;

    const FT_GlyphSlot slot = face_->glyph;
    metrics->cellIncX = static_cast<float>(slot->advance.x * emScale_);
    metrics->cellIncY = static_cast<float>(slot->advance.y * emScale_);
    if (!drawn || slot->format != FT_GLYPH_FORMAT_OUTLINE || slot->outline.n_points == 0) {
        return true;
    }

    FT_BBox box;
    if (FT_Outline_Get_BBox(&slot->outline, &box) != 0 ||
        !FlattenOutline(slot->outline, kFlatnessFontUnits, emScale_, outline)) {
        outline->contours.clear();
        *metrics = GlyphMetrics{};
        return false;
    }
    metrics->blackBoxX = static_cast<float>((box.xMax - box.xMin) * emScale_);
    metrics->blackBoxY = static_cast<float>((box.yMax - box.yMin) * emScale_);
    metrics->originX = static_cast<float>(box.xMin * emScale_);
    metrics->originY = static_cast<float>(box.yMax * emScale_);
    return true;
}
