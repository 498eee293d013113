// The face match and the installed-face test through fontconfig. The match
// asks for a scalable face first, as the Windows mapper prefers TrueType for
// outline fonts; the installed test lists fonts and compares family names
// exactly, without case, the way the Windows mapper does, with no aliases.
#include <fontconfig/fontconfig.h>

#include <cstring>

#include "ansi_codepage.h"
#include "fontconfig_faces.h"
#include "platform/outlinefont.h"

bool MatchFace(const char* faceName, MatchedFace* result) {
    const std::string family = AnsiToUtf8(faceName);
    FcPattern* pattern = FcPatternCreate();
    if (pattern == nullptr) return false;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult matchResult = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &matchResult);
    FcPatternDestroy(pattern);
    if (match == nullptr) return false;

    bool found = false;
    FcChar8* file = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        FcChar8* matchedFamily = nullptr;
        FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily);
        result->file = reinterpret_cast<const char*>(file);
        result->index = index;
        result->family =
            matchedFamily != nullptr ? reinterpret_cast<const char*>(matchedFamily) : "";
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

bool IsFaceInstalled(const char* faceName) {
    // An empty name would list every font; it names no face.
    if (faceName == nullptr || faceName[0] == '\0') return false;
    const std::string family = AnsiToUtf8(faceName);
    const auto* wanted = reinterpret_cast<const FcChar8*>(family.c_str());

    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    if (pattern == nullptr || objects == nullptr) {
        if (pattern != nullptr) FcPatternDestroy(pattern);
        if (objects != nullptr) FcObjectSetDestroy(objects);
        return false;
    }
    FcPatternAddString(pattern, FC_FAMILY, wanted);
    FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    if (fonts == nullptr) return false;

    // fontconfig's own comparison also ignores blanks; the Windows mapper
    // does not, so every listed family is checked again.
    bool found = false;
    for (int i = 0; i < fonts->nfont && !found; ++i) {
        FcChar8* listed = nullptr;
        for (int n = 0;
             !found && FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &listed) == FcResultMatch;
             ++n) {
            found = FcStrCmpIgnoreCase(listed, wanted) == 0;
        }
    }
    FcFontSetDestroy(fonts);
    return found;
}
