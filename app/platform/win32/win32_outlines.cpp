// BuildOutlineGlyphs and IsFaceInstalled on Windows: the face is created with
// CreateFontA and selected into the OpenGL window's device context, and
// wglUseFontOutlinesA builds the lists; EnumFontFamiliesA answers whether a
// family is installed. Reserving the lists and drawing text is text.cpp's.
#include <cstddef>

#include "gl_headers.h"
#include "platform/outlinefont.h"

// The metrics table is handed to wglUseFontOutlinesA as it is.
static_assert(sizeof(GLYPHMETRICSFLOAT) == sizeof(GlyphMetrics), "six floats");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfBlackBoxX) == offsetof(GlyphMetrics, blackBoxX), "");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfBlackBoxY) == offsetof(GlyphMetrics, blackBoxY), "");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfptGlyphOrigin) == offsetof(GlyphMetrics, originX), "");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfptGlyphOrigin) + sizeof(FLOAT) ==
                  offsetof(GlyphMetrics, originY),
              "");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfCellIncX) == offsetof(GlyphMetrics, cellIncX), "");
static_assert(offsetof(GLYPHMETRICSFLOAT, gmfCellIncY) == offsetof(GlyphMetrics, cellIncY), "");

namespace {

// The platform's finest approximation of the curves: one design unit.
constexpr FLOAT kChordalDeviation = 0.0f;

int CALLBACK RecordFirstFamily(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one face of the family is enough
}

}  // namespace

void BuildOutlineGlyphs(const char* faceName, bool wireframe, unsigned listBase,
                        GlyphMetrics* metrics) {
    for (int code = 0; code < kOutlineGlyphCount; ++code) metrics[code] = GlyphMetrics{};
    // Name 0 is what a failed glGenLists returns; building from it would
    // overwrite lists that belong to someone else.
    HDC dc = wglGetCurrentDC();
    if (listBase == 0 || dc == nullptr) return;

    HFONT font = CreateFontA(0, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, faceName);
    // The context keeps using the selected font after the handle is let go.
    SelectObject(dc, font);
    DeleteObject(font);
    const BOOL built =
        wglUseFontOutlinesA(dc, 0, kOutlineGlyphCount, listBase, kChordalDeviation,
                            kOutlineExtrusion, wireframe ? WGL_FONT_LINES : WGL_FONT_POLYGONS,
                            reinterpret_cast<LPGLYPHMETRICSFLOAT>(metrics));
    if (!built) {
        // A build that stopped part way would leave some glyphs drawn and
        // others not; empty every list and metric instead.
        for (int code = 0; code < kOutlineGlyphCount; ++code) {
            metrics[code] = GlyphMetrics{};
            glNewList(listBase + code, GL_COMPILE);
            glEndList();
        }
    }
}

void PrepareOutlineGlyphs(const char*, size_t) {
    // wglUseFontOutlinesA built every list already.
}

bool IsFaceInstalled(const char* faceName) {
    // An empty family name would enumerate every family.
    if (faceName == nullptr || faceName[0] == '\0') return false;
    HDC dc = GetDC(nullptr);
    if (dc == nullptr) return false;
    bool found = false;
    EnumFontFamiliesA(dc, faceName, RecordFirstFamily, reinterpret_cast<LPARAM>(&found));
    ReleaseDC(nullptr, dc);
    return found;
}
