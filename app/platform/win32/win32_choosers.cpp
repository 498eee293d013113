// The common dialogs behind the Custom Controls and Music pages (colour, font
// and open-file), the preview start and where the help page lies.
#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "platform/pagecontrols.h"
#include "product.h"
#include "settings.h"
#include "textutil.h"

namespace {
constexpr int kCustomColourCount = 16;
constexpr size_t kFileNameSize = 1000;
constexpr char kHelpPageName[] = "\\help.htm";
constexpr size_t kHelpPathSize = 1000;

HWND OwnerHandle(PageWindow owner) { return reinterpret_cast<HWND>(owner); }
}  // namespace

bool ChooseTextColor(PageWindow owner, uint32_t start, uint32_t* chosen) {
    // Custom colours are not kept from one opening to the next.
    COLORREF custom[kCustomColourCount] = {};
    CHOOSECOLORA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = OwnerHandle(owner);
    request.rgbResult = static_cast<COLORREF>(start);
    request.lpCustColors = custom;
    request.Flags = CC_RGBINIT;
    if (!ChooseColorA(&request)) return false;
    *chosen = static_cast<uint32_t>(request.rgbResult);
    return true;
}

bool ChooseFaceName(PageWindow owner, const char* face, char* chosen, size_t size) {
    LOGFONTA font = {};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    CopyText(font.lfFaceName, sizeof font.lfFaceName, face);
    CHOOSEFONTA request = {};
    request.lStructSize = sizeof request;
    request.hwndOwner = OwnerHandle(owner);
    request.lpLogFont = &font;
    request.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_TTONLY | CF_NOSCRIPTSEL;
    if (!ChooseFontA(&request)) return false;
    font.lfFaceName[sizeof font.lfFaceName - 1] = '\0';
    CopyText(chosen, size, font.lfFaceName);
    return true;
}

bool ChooseFile(PageWindow owner, const FileChooserRequest& request, char* path, size_t size) {
    // Name and pattern pairs, each ending in a zero, the list in a second one.
    std::string filter;
    for (int i = 0; i < request.filterCount; ++i) {
        filter += request.filters[i].name;
        filter += '\0';
        filter += request.filters[i].pattern;
        filter += '\0';
    }
    filter += '\0';
    char fileName[kFileNameSize] = "";
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = OwnerHandle(owner);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = static_cast<DWORD>(request.initialFilter + 1);
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrTitle = request.title;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog)) return false;
    if (strlen(fileName) + 1 > size) return false;
    memcpy(path, fileName, strlen(fileName) + 1);
    return true;
}

bool RunSaverForPreview() {
    // The saver's own file, so that the preview does not depend on the
    // current directory or on the saver lying on the search path.
    char saver[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(nullptr, saver, sizeof saver);
    if (length == 0 || length >= sizeof saver) snprintf(saver, sizeof saver, "%s.scr", kProduct.productName);
    HINSTANCE result = ShellExecuteA(nullptr, nullptr, saver, "-s", nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

HelpPageLookup FindHelpPage(const char* appDir, char* path, size_t size) {
    if (!appDir[0]) return HelpPageLookup::NoFolder;
    char page[kHelpPathSize];
    int length = snprintf(page, sizeof page, "%s%s", appDir, kHelpPageName);
    if (length < 0 || static_cast<size_t>(length) >= sizeof page || static_cast<size_t>(length) >= size)
        return HelpPageLookup::Missing;
    // The shell would report a missing page in a message box of its own.
    DWORD attributes = GetFileAttributesA(page);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return HelpPageLookup::Missing;
    memcpy(path, page, static_cast<size_t>(length) + 1);
    return HelpPageLookup::Found;
}
