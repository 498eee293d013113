// The built-in catalogue of decorative outline faces and the random pick of
// an installed one, which scene set-up uses when FontEnum is 0. Whether a
// face is installed is the platform's answer (platform/outlinefont.h).
#pragma once

#include <cstddef>

inline constexpr int kFontCatalogueSize = 37;
inline constexpr int kFallbackFaceCount = 3;
inline constexpr int kFacePickTries = 100;
inline constexpr size_t kFaceNameMinBuffer = 24;  // the longest name has 23 characters

extern const char* const kFontCatalogue[kFontCatalogueSize];
extern const char* const kFallbackFaces[kFallbackFaceCount];

// Up to 100 random catalogue faces, each tested; after 100 misses a random
// fallback face, untested. One Random() draw per try and one for the fallback.
void PickRandomInstalledFace(char* buffer, size_t size);
