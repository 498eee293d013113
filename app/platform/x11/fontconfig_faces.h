// Font faces through fontconfig: which installed file the saver uses for a
// face name (the nearest installed face when that one is missing), and
// IsFaceInstalled of outlinefont.h. Reading the file is freetype_glyphs'.
#pragma once

#include <string>

struct MatchedFace {
    std::string file;
    int index = 0;       // face (and named instance) within the file
    std::string family;  // the family fontconfig chose, UTF-8
};

// The scalable face fontconfig would use for faceName (bytes in the ANSI
// code page), after its substitutions and defaults. False when fontconfig
// finds nothing at all.
bool MatchFace(const char* faceName, MatchedFace* result);

// Loads fontconfig's configuration on a thread of its own, so it is ready by
// the time the scene picks its face; the first query (or the Finish call)
// waits for it.
void StartFontconfigWarmUp();
void FinishFontconfigWarmUp();
