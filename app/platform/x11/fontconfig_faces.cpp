// The face match and the installed-face test through fontconfig. The match
// asks for a scalable face first, as the Windows mapper prefers TrueType for
// outline fonts; the installed test lists fonts and compares family names
// exactly, without case, the way the Windows mapper does, with no aliases.
#include <fontconfig/fontconfig.h>
#include <pthread.h>

#include <cstring>
#include <string>
#include <vector>

#include "ansi_codepage.h"
#include "fontconfig_faces.h"
#include "platform/outlinefont.h"

namespace {
// Fontconfig reads its configuration (dozens of XML files) and its caches on
// first use: several milliseconds that would otherwise come after the OpenGL
// driver has loaded, before the first frame. Read on a thread of its own
// from the saver's start, they overlap the driver's loading instead. Only
// the saver's thread starts and joins it; a process that exits meanwhile
// simply ends it.
struct FontconfigWarmUpRecord {
    bool running = false;
    pthread_t thread{};
};
FontconfigWarmUpRecord fontconfigWarmUp;

void* WarmUpFontconfig(void*) {
    FcInit();
    return nullptr;
}
}  // namespace

void StartFontconfigWarmUp() {
    if (fontconfigWarmUp.running) return;
    fontconfigWarmUp.running =
        pthread_create(&fontconfigWarmUp.thread, nullptr, WarmUpFontconfig, nullptr) == 0;
}

void FinishFontconfigWarmUp() {
    if (!fontconfigWarmUp.running) return;
    pthread_join(fontconfigWarmUp.thread, nullptr);
    fontconfigWarmUp.running = false;
}

bool MatchFace(const char* faceName, MatchedFace* result) {
    FinishFontconfigWarmUp();
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

namespace {
// Every installed family name, listed from fontconfig once per process: the
// random face pick asks about one name after another, and one listing costs
// what a single query does.
struct InstalledFamilies {
    bool listed = false;
    std::vector<std::string> names;  // UTF-8, as fontconfig gives them
};
InstalledFamilies installedFamilies;

void ListInstalledFamilies() {
    FinishFontconfigWarmUp();
    InstalledFamilies& families = installedFamilies;
    families.listed = true;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fonts = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    if (objects != nullptr) FcObjectSetDestroy(objects);
    if (pattern != nullptr) FcPatternDestroy(pattern);
    if (fonts == nullptr) return;
    for (int i = 0; i < fonts->nfont; ++i) {
        FcChar8* listed = nullptr;
        for (int n = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, n, &listed) == FcResultMatch;
             ++n) {
            families.names.emplace_back(reinterpret_cast<const char*>(listed));
        }
    }
    FcFontSetDestroy(fonts);
}
}  // namespace

bool IsFaceInstalled(const char* faceName) {
    // An empty name would match every font; it names no face.
    if (faceName == nullptr || faceName[0] == '\0') return false;
    if (!installedFamilies.listed) ListInstalledFamilies();
    const std::string family = AnsiToUtf8(faceName);
    const auto* wanted = reinterpret_cast<const FcChar8*>(family.c_str());
    // Compared without case but with blanks: fontconfig's own comparison
    // ignores blanks, the Windows mapper does not.
    for (const std::string& listed : installedFamilies.names) {
        if (FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(listed.c_str()), wanted) == 0)
            return true;
    }
    return false;
}
