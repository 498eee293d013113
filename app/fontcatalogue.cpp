// The font catalogue and the random pick of an installed face. The pick
// draws only through Random(), so a fixed Seed on one machine always gives
// the same face.
#include "fontcatalogue.h"

#include "crtrand.h"
#include "platform/outlinefont.h"
#include "textutil.h"

const char* const kFontCatalogue[kFontCatalogueSize] = {
    "Arial Rounded MT Bold", "Bauhaus 93",         "Berlin Sans FB",
    "Broadway",              "Brush Script MT",    "Century Gothic",
    "Comic Sans MS",         "Cooper Black",       "Copperplate Gothic Bold",
    "Eras Light ITC",        "Felix Titling",      "Forte",
    "Freestyle Script",      "Georgia",            "Gill Sans MT",
    "Haettenschweiler",      "Harlow Solid Italic", "Harrington",
    "High Tower Text",       "Impact",             "Informal Roman",
    "Kristen ITC",           "Lucida Handwriting", "Magneto",
    "Maiandra GD",           "Mistral",            "OCR A Extended",
    "Playbill",              "Ravie",              "Rockwell",
    "Script MT Bold",        "Showcard Gothic",    "Snap ITC",
    "Tahoma",                "Trebuchet MS",       "Tw Cen MT",
    "Wide Latin",
};

const char* const kFallbackFaces[kFallbackFaceCount] = {"Courier New", "Arial", "Times New Roman"};

void PickRandomInstalledFace(char* buffer, size_t size) {
    for (int attempt = 0; attempt < kFacePickTries; ++attempt) {
        CopyText(buffer, size, kFontCatalogue[Random() % kFontCatalogueSize]);
        if (IsFaceInstalled(buffer)) return;
    }
    // Not tested: the platform substitutes its nearest face if even the
    // fallback is missing.
    CopyText(buffer, size, kFallbackFaces[Random() % kFallbackFaceCount]);
}
