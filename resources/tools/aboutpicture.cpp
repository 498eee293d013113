// Renders the Introduction page's picture: a 512 x 180, 8-bit, 256-colour
// uncompressed BMP of the saver's scene, a clock time in lit, extruded
// lettering flying over a dark floor grid, with the product name beneath.
// A host tool run by the build, like fontpicture.
//
//   aboutpicture --font FILE.ttf --output picture.bmp
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

constexpr int kWidth = 512;
constexpr int kHeight = 180;
constexpr int kPaletteSize = 256;
constexpr int kBackgroundShades = 96;                          // indices 0..95
constexpr int kTextShades = kPaletteSize - kBackgroundShades;  // indices 96..255
constexpr int kExtrusionSteps = 10;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Background: night blue to black. Text: the saver's default colour (red 64,
// green 128, blue 255) from its shadowed sides up to a white highlight.
std::vector<Rgb> MakePalette() {
    std::vector<Rgb> palette(kPaletteSize);
    for (int i = 0; i < kBackgroundShades; ++i)
        palette[i] = Mix({0, 0, 6}, {40, 70, 150}, i / double(kBackgroundShades - 1));
    const Rgb dark = {8, 16, 40}, base = {64, 128, 255}, light = {235, 242, 255};
    for (int i = 0; i < kTextShades; ++i) {
        double t = i / double(kTextShades - 1);
        palette[kBackgroundShades + i] = t < 0.7 ? Mix(dark, base, t / 0.7) : Mix(base, light, (t - 0.7) / 0.3);
    }
    return palette;
}

struct Canvas {
    std::vector<uint8_t> index = std::vector<uint8_t>(kWidth * kHeight);
    uint8_t& At(int x, int y) { return index[y * kWidth + x]; }
};

int BackgroundShade(double level) {
    int i = static_cast<int>(level * (kBackgroundShades - 1) + 0.5);
    return i < 0 ? 0 : i >= kBackgroundShades ? kBackgroundShades - 1 : i;
}

void PaintBackground(Canvas& canvas) {
    const int horizon = 112;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            double level = y < horizon ? 0.05 + 0.35 * (y / double(horizon))
                                       : 0.30 - 0.25 * ((y - horizon) / double(kHeight - horizon));
            canvas.At(x, y) = static_cast<uint8_t>(BackgroundShade(level));
        }
    }
    // A floor grid in perspective: lines converging on the vanishing point,
    // and cross lines closer together towards the horizon.
    const double vanishX = kWidth / 2.0;
    for (int line = -12; line <= 12; ++line) {
        for (int y = horizon; y < kHeight; ++y) {
            double depth = (y - horizon) / double(kHeight - horizon);
            int x = static_cast<int>(vanishX + line * 60.0 * depth);
            if (x >= 0 && x < kWidth) canvas.At(x, y) = static_cast<uint8_t>(BackgroundShade(0.55 * depth + 0.2));
        }
    }
    for (int row = 1; row < 9; ++row) {
        int y = horizon + static_cast<int>((kHeight - horizon) * std::pow(row / 9.0, 2.0));
        for (int x = 0; x < kWidth; ++x)
            canvas.At(x, y) = static_cast<uint8_t>(BackgroundShade(0.2 + 0.4 * (y - horizon) / double(kHeight - horizon)));
    }
}

struct Coverage {
    int width = 0, height = 0;
    std::vector<uint8_t> alpha;
};

// The text's coverage at a pixel size, rendered left to right on a baseline.
Coverage RenderText(FT_Face face, const char* text, int pixelSize) {
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
    int ascent = static_cast<int>(face->size->metrics.ascender >> 6);
    int descent = static_cast<int>(-face->size->metrics.descender >> 6);
    int width = 0;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_DEFAULT)) continue;
        width += static_cast<int>(face->glyph->advance.x >> 6);
    }
    Coverage out;
    out.width = width + 2;
    out.height = ascent + descent;
    out.alpha.assign(out.width * out.height, 0);
    int penX = 1;
    for (const char* c = text; *c; ++c) {
        if (FT_Load_Char(face, static_cast<unsigned char>(*c), FT_LOAD_RENDER)) continue;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        int left = penX + face->glyph->bitmap_left;
        int top = ascent - face->glyph->bitmap_top;
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            for (unsigned col = 0; col < bitmap.width; ++col) {
                int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= out.width || y >= out.height) continue;
                uint8_t a = bitmap.buffer[row * bitmap.pitch + col];
                if (a > out.alpha[y * out.width + x]) out.alpha[y * out.width + x] = a;
            }
        }
        penX += static_cast<int>(face->glyph->advance.x >> 6);
    }
    return out;
}

// Draws the text with its extruded sides: copies stepping back up and to the
// left in darker shades, then the lit front face with a vertical highlight.
void DrawExtruded(Canvas& canvas, const Coverage& text, int left, int top, int depthStep) {
    for (int step = kExtrusionSteps; step >= 0; --step) {
        for (int y = 0; y < text.height; ++y) {
            for (int x = 0; x < text.width; ++x) {
                uint8_t a = text.alpha[y * text.width + x];
                if (a < 96) continue;
                int px = left + x - step * depthStep, py = top + y - step * depthStep;
                if (px < 0 || py < 0 || px >= kWidth || py >= kHeight) continue;
                double shade;
                if (step > 0) {
                    shade = 0.15 + 0.35 * (1.0 - step / double(kExtrusionSteps));
                } else {
                    shade = 0.55 + 0.45 * (1.0 - y / double(text.height));
                    shade *= 0.75 + 0.25 * (a / 255.0);
                }
                int i = static_cast<int>(shade * (kTextShades - 1) + 0.5);
                canvas.At(px, py) = static_cast<uint8_t>(kBackgroundShades + i);
            }
        }
    }
}

void Put16(FILE* f, uint16_t v) { fputc(v & 0xFF, f), fputc(v >> 8, f); }
void Put32(FILE* f, uint32_t v) { Put16(f, v & 0xFFFF), Put16(f, v >> 16); }

bool WriteBmp(const char* path, Canvas& canvas, const std::vector<Rgb>& palette) {
    FILE* f = fopen(path, "wb");
    if (!f) return false;
    const uint32_t rowBytes = kWidth;  // 512 is already a multiple of 4
    const uint32_t offset = 14 + 40 + kPaletteSize * 4;
    fputs("BM", f);
    Put32(f, offset + rowBytes * kHeight);
    Put32(f, 0);
    Put32(f, offset);
    Put32(f, 40);
    Put32(f, kWidth);
    Put32(f, kHeight);  // bottom-up rows
    Put16(f, 1);
    Put16(f, 8);
    Put32(f, 0);  // BI_RGB, uncompressed
    Put32(f, rowBytes * kHeight);
    Put32(f, 2835);
    Put32(f, 2835);
    Put32(f, kPaletteSize);
    Put32(f, kPaletteSize);
    for (const Rgb& c : palette) {
        fputc(static_cast<int>(c.b + 0.5), f);
        fputc(static_cast<int>(c.g + 0.5), f);
        fputc(static_cast<int>(c.r + 0.5), f);
        fputc(0, f);
    }
    for (int y = kHeight - 1; y >= 0; --y) fwrite(&canvas.At(0, y), 1, rowBytes, f);
    return fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const char* fontPath = nullptr;
    const char* outputPath = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--font")) fontPath = argv[i + 1];
        else if (!strcmp(argv[i], "--output")) outputPath = argv[i + 1];
    }
    if (!fontPath || !outputPath) {
        fprintf(stderr, "usage: aboutpicture --font FILE.ttf --output picture.bmp\n");
        return 2;
    }
    FT_Library library;
    FT_Face face;
    if (FT_Init_FreeType(&library) || FT_New_Face(library, fontPath, 0, &face)) {
        fprintf(stderr, "aboutpicture: cannot read %s\n", fontPath);
        return 1;
    }
    Canvas canvas;
    PaintBackground(canvas);
    // A far time small and high, the arriving time large in front.
    Coverage far = RenderText(face, "10:42:07", 20);
    DrawExtruded(canvas, far, kWidth - far.width - 24, 8, 1);
    Coverage near = RenderText(face, "10:42:09", 80);
    DrawExtruded(canvas, near, (kWidth - near.width) / 2 + 30, 46, 2);
    Coverage name = RenderText(face, "CHRONOVALE", 20);
    DrawExtruded(canvas, name, kWidth - name.width - 18, kHeight - name.height - 8, 1);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!WriteBmp(outputPath, canvas, MakePalette())) {
        fprintf(stderr, "aboutpicture: cannot write %s\n", outputPath);
        return 1;
    }
    return 0;
}
