// Configuration mode on Windows: the framework's configure dialog (template
// 2003) runs the start-up, takes the one-configuration mutex and replaces
// itself with the four-page property sheet. The pages' procedures are in
// win32_pages.cpp.
#include <windows.h>

#include <commctrl.h>

#include "controls.h"
#include "flyingtime.h"
#include "main.h"
#include "platform/pagecontrols.h"
#include "product.h"
#include "saver_resource_ids.h"
#include "saverwindow.h"
#include "win32_framework.h"
#include "win32_pages.h"

namespace {
constexpr int kOkShiftPixels = 106;  // OK takes the place Cancel leaves empty
constexpr size_t kMutexNameSize = 200;

// The configuration process's one mutex, held while the sheet is open.
struct ConfigureState {
    HANDLE mutex = nullptr;
};
ConfigureState configure;

// The sheet has no Cancel (every change is already saved): hide it and move
// OK to the left by the width it leaves.
int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
    if (!sheet || message != PSCB_INITIALIZED) return 0;
    if (HWND cancel = GetDlgItem(sheet, IDCANCEL)) {
        EnableWindow(cancel, FALSE);
        ShowWindow(cancel, SW_HIDE);
    }
    if (HWND ok = GetDlgItem(sheet, IDOK)) {
        RECT rect;
        GetWindowRect(ok, &rect);
        MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&rect), 2);
        SetWindowPos(ok, nullptr, rect.left - kOkShiftPixels, rect.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

void RunSheet() {
    PROPSHEETPAGEA pages[kConfigurePageCount] = {};
    for (int i = 0; i < kConfigurePageCount; ++i) {
        const ConfigurePageInfo& info = kConfigurePages[i];
        PROPSHEETPAGEA& page = pages[i];
        page.dwSize = sizeof page;
        page.dwFlags = PSP_USETITLE | PSP_HASHELP;
        page.hInstance = info.inCompanionLibrary ? static_cast<HINSTANCE>(resourceLibrary)
                                                 : SaverInstance();
        page.pszTemplate = MAKEINTRESOURCEA(info.templateId);
        page.pfnDlgProc = ConfigurePageProc;
        page.pszTitle = info.title;
        page.lParam = i;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_HASHELP;
    header.hwndParent = nullptr;
    header.hInstance = SaverInstance();
    header.pszCaption = kProduct.productName;
    header.nPages = kConfigurePageCount;
    header.nStartPage = static_cast<UINT>(ConfigureStartPage());
    header.ppsp = pages;
    header.pfnCallback = SheetCallback;
    PropertySheetA(&header);
}

// A second configuration start brings the open sheet forward.
void RaiseOpenSheet() {
    HWND sheet = FindWindowA(MAKEINTATOM(32770), kProduct.productName);
    if (!sheet) return;
    if (IsIconic(sheet)) ShowWindow(sheet, SW_RESTORE);
    SetForegroundWindow(sheet);
}

INT_PTR CALLBACK FrameworkConfigureProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: {
        RunStartup();
        char name[kMutexNameSize];
        FormatConfigureMutexName(name, sizeof name);
        SetLastError(ERROR_SUCCESS);
        configure.mutex = CreateMutexA(nullptr, FALSE, name);
        if (!configure.mutex || GetLastError() != ERROR_SUCCESS) {
            RaiseOpenSheet();
            EndDialog(dialog, 1);
            return TRUE;
        }
        InitCommonControls();
        EndDialog(dialog, 1);
        RunSheet();
        return TRUE;
    }
    case WM_DESTROY:
        DestroySceneObjects();
        if (configure.mutex) CloseHandle(configure.mutex);
        configure.mutex = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}
}  // namespace

int RunConfigureDialog(uint64_t ownerWindow) {
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(ownerWindow));
    DialogBoxParamA(SaverInstance(), MAKEINTRESOURCEA(IDD_FRAMEWORK_CONFIGURE), owner,
                    FrameworkConfigureProc, 0);
    return 0;
}
