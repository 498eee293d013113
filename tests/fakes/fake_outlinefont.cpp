// The recording outline-font platform service of the unit tests.
#include "fake_outlinefont.h"

namespace fake {

OutlineFontFake& OutlineFonts() {
    static OutlineFontFake state;
    return state;
}

void ResetOutlineFonts() { OutlineFonts() = OutlineFontFake(); }

}  // namespace fake

void BuildOutlineGlyphs(const char* faceName, bool wireframe, unsigned listBase, GlyphMetrics* metrics) {
    fake::OutlineFontFake& f = fake::OutlineFonts();
    f.builds.push_back({faceName, wireframe, listBase});
    for (int code = 0; code < kOutlineGlyphCount; ++code) metrics[code] = f.metrics[code];
}

void PrepareOutlineGlyphs(const char*, size_t) {
    // The fake's "lists" need no building.
}

bool IsFaceInstalled(const char* faceName) {
    fake::OutlineFontFake& f = fake::OutlineFonts();
    f.installQueries.push_back(faceName);
    return f.installedFaces.count(faceName) != 0;
}
