// A recording stand-in for the platform's outline glyphs: the tests set the
// metrics the "glyphs" report and the faces that count as installed, and
// read back every build and installation query in order.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/outlinefont.h"

namespace fake {

struct OutlineBuild {
    std::string faceName;
    bool wireframe;
    unsigned listBase;
};

struct OutlineFontFake {
    // Inputs: metrics for codes 0..254 (the rest of the record stays zero) and
    // the installed families.
    GlyphMetrics metrics[kOutlineGlyphCount] = {};
    std::set<std::string> installedFaces;

    std::vector<OutlineBuild> builds;
    std::vector<std::string> installQueries;
};

OutlineFontFake& OutlineFonts();
void ResetOutlineFonts();

}  // namespace fake
