// Renders the overlay's glyph picture: 256 character codes in a 16 x 16 grid
// of 16-pixel cells (code c in column c mod 16, row c div 16 from the top),
// light glyphs on black, codes in Windows-1252 order with control codes and
// unassigned codes blank. A host tool run by the build; it writes a baseline
// greyscale JPEG and leaves the embedding to the resource libraries' builds.
//
//   fontpicture --font FILE.ttf --output picture.jpg [--advance 8]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

extern "C" {
#include <jpeglib.h>
}

namespace {

constexpr int kGridSize = 16;
constexpr int kCellPixels = 16;
constexpr int kPicturePixels = kGridSize * kCellPixels;  // 256
constexpr int kGlyphCount = kGridSize * kGridSize;
constexpr int kJpegQuality = 95;
constexpr int kLargestPixelSize = kCellPixels;
constexpr long kUnassigned = -1;

// Unicode of the Windows-1252 codes 0x80..0x9F; the codes above follow
// Latin-1, the codes below ASCII.
constexpr long kWindows1252High[32] = {
    0x20AC, kUnassigned, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, kUnassigned, 0x017D, kUnassigned,
    kUnassigned, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, kUnassigned, 0x017E, 0x0178,
};

long UnicodeOf(int code) {
    if (code < 0x20 || code == 0x7F) return kUnassigned;  // control codes stay blank
    if (code >= 0x80 && code < 0xA0) return kWindows1252High[code - 0x80];
    return code;
}

struct Options {
    const char* fontPath = nullptr;
    const char* outputPath = nullptr;
    int advance = 8;
};

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        if (i + 1 < argc && std::strcmp(argv[i], "--font") == 0) {
            options->fontPath = argv[++i];
        } else if (i + 1 < argc && std::strcmp(argv[i], "--output") == 0) {
            options->outputPath = argv[++i];
        } else if (i + 1 < argc && std::strcmp(argv[i], "--advance") == 0) {
            options->advance = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return options->fontPath && options->outputPath && options->advance > 0 &&
           options->advance <= kCellPixels;
}

long Ceil26Dot6(FT_Pos value) { return (value + 63) >> 6; }

// The largest pixel size whose hinted advance fits the overlay's advance and
// whose ascender and descender fit the cell height.
bool ChoosePixelSize(FT_Face face, int advance, int* pixelSize) {
    for (int size = kLargestPixelSize; size > 4; --size) {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0) continue;
        if (FT_Load_Char(face, 'M', FT_LOAD_DEFAULT) != 0) continue;
        long glyphAdvance = Ceil26Dot6(face->glyph->advance.x);
        long height = Ceil26Dot6(face->size->metrics.ascender) + Ceil26Dot6(-face->size->metrics.descender);
        if (glyphAdvance <= advance && height <= kCellPixels) {
            *pixelSize = size;
            return true;
        }
    }
    return false;
}

// Draws one glyph into its cell: the advance box centred horizontally in the
// cell, the line box centred vertically. Nothing reaches past the cell, so
// neighbouring glyphs never bleed into each other's texture cells.
void DrawGlyph(FT_Face face, int code, int advance, std::vector<unsigned char>* picture) {
    long unicode = UnicodeOf(code);
    if (unicode == kUnassigned) return;
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(unicode));
    if (index == 0) return;  // not in the face: the cell stays blank
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0) return;

    const FT_Bitmap& bitmap = face->glyph->bitmap;
    long ascender = Ceil26Dot6(face->size->metrics.ascender);
    long descender = Ceil26Dot6(-face->size->metrics.descender);
    int cellLeft = (code % kGridSize) * kCellPixels;
    int cellTop = (code / kGridSize) * kCellPixels;
    int penX = cellLeft + (kCellPixels - advance) / 2;
    int baseline = cellTop + static_cast<int>((kCellPixels - (ascender + descender)) / 2 + ascender);

    for (unsigned row = 0; row < bitmap.rows; ++row) {
        int y = baseline - face->glyph->bitmap_top + static_cast<int>(row);
        if (y < cellTop || y >= cellTop + kCellPixels) continue;
        for (unsigned column = 0; column < bitmap.width; ++column) {
            int x = penX + face->glyph->bitmap_left + static_cast<int>(column);
            if (x < cellLeft || x >= cellLeft + kCellPixels) continue;
            unsigned char value = bitmap.buffer[row * bitmap.pitch + column];
            unsigned char& pixel = (*picture)[static_cast<size_t>(y) * kPicturePixels + x];
            if (value > pixel) pixel = value;
        }
    }
}

bool WriteJpeg(const char* path, const std::vector<unsigned char>& picture) {
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr error;
    cinfo.err = jpeg_std_error(&error);  // the library's own exit on error ends the tool
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = kPicturePixels;
    cinfo.image_height = kPicturePixels;
    cinfo.input_components = 1;
    cinfo.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&cinfo);  // baseline sequential Huffman coding
    jpeg_set_quality(&cinfo, kJpegQuality, TRUE);
    cinfo.optimize_coding = TRUE;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&picture[cinfo.next_scanline * kPicturePixels]);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        std::fprintf(stderr, "usage: fontpicture --font FILE.ttf --output picture.jpg [--advance 8]\n");
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, options.fontPath, 0, &face) != 0) {
        std::fprintf(stderr, "fontpicture: cannot open the face %s\n", options.fontPath);
        return 1;
    }
    int pixelSize = 0;
    if (!ChoosePixelSize(face, options.advance, &pixelSize)) {
        std::fprintf(stderr, "fontpicture: %s has no size that fits %d-pixel cells\n", options.fontPath,
                     options.advance);
        return 1;
    }
    std::vector<unsigned char> picture(static_cast<size_t>(kPicturePixels) * kPicturePixels, 0);
    for (int code = 0; code < kGlyphCount; ++code) DrawGlyph(face, code, options.advance, &picture);
    FT_Done_Face(face);
    FT_Done_FreeType(library);

    if (!WriteJpeg(options.outputPath, picture)) {
        std::fprintf(stderr, "fontpicture: cannot write %s\n", options.outputPath);
        return 1;
    }
    return 0;
}
