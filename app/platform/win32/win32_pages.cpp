// The configuration pages on Windows: one dialog procedure for the four
// property-sheet pages, the page controls of platform/pagecontrols.h on
// dialog controls, the hyperlink controls and the two pictures the handlers
// leave to the platform (the Introduction picture and the colour swatch).
#include "win32_pages.h"

#include <commctrl.h>

#include <cstring>

#include "controls.h"
#include "platform/pagecontrols.h"
#include "saver_resource_ids.h"
#include "saverwindow.h"
#include "win32_framework.h"

namespace {
constexpr COLORREF kLinkColour = 0xFF0000;  // pure blue in 0x00BBGGRR
constexpr int kLinkCount = 2;
constexpr int kHelpCursorId = 106;
constexpr char kHelpProgram[] = "\\winhlp32.exe";
constexpr UINT kWindowsDirectorySize = 360;

// The Introduction page's two links and its picture.
struct IntroductionState {
    LinkControl links[kLinkCount];
    HBITMAP picture = nullptr;
};
IntroductionState introduction;

HWND PageHandle(PageWindow page) { return reinterpret_cast<HWND>(page); }
PageWindow ToPageWindow(HWND page) { return reinterpret_cast<PageWindow>(page); }

ConfigurePage PageIndex(HWND page) {
    return static_cast<ConfigurePage>(GetWindowLongPtrA(page, DWLP_USER));
}

// The cursor of the system's help program, else the system's own hand.
HCURSOR LoadHandCursor(bool* shared) {
    *shared = false;
    char path[kWindowsDirectorySize + sizeof kHelpProgram] = "";
    UINT length = GetWindowsDirectoryA(path, kWindowsDirectorySize);
    if (length > 0 && length < kWindowsDirectorySize) {
        strcat(path, kHelpProgram);
        if (HMODULE help = LoadLibraryA(path)) {
            HCURSOR cursor = LoadCursorA(help, MAKEINTRESOURCEA(kHelpCursorId));
            HCURSOR copy = cursor ? CopyIcon(cursor) : nullptr;
            FreeLibrary(help);
            if (copy) return copy;
        }
    }
    *shared = true;
    return LoadCursorA(nullptr, IDC_HAND);
}

// Copies the picture unscaled into the client area of its frame.
void PaintPicture(HWND page) {
    HWND frame = GetDlgItem(page, ControlId::kPicture);
    if (!introduction.picture || !frame) return;
    RECT client;
    GetClientRect(frame, &client);
    HDC target = GetDC(frame);
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ previous = SelectObject(source, introduction.picture);
    BitBlt(target, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    ReleaseDC(frame, target);
}

void PaintSwatch(HWND page) {
    HWND swatch = GetDlgItem(page, ControlId::kSwatch);
    if (!swatch) return;
    RECT client;
    GetClientRect(swatch, &client);
    HDC context = GetDC(swatch);
    HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(CustomSwatchColour()));
    FillRect(context, &client, brush);
    DeleteObject(brush);
    ReleaseDC(swatch, context);
}

LinkControl* LinkFor(HWND control) {
    for (LinkControl& link : introduction.links)
        if (link.control && link.control == control) return &link;
    return nullptr;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    switch (header->code) {
    case PSN_SETACTIVE:
        PageOnActivate(PageIndex(page), ToPageWindow(page));
        return FALSE;
    case PSN_KILLACTIVE:
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);  // the page may be left
        return FALSE;
    case PSN_HELP:
        PageOnHelp();
        return FALSE;
    default:
        return TRUE;
    }
}
}  // namespace

// LinkControl ---------------------------------------------------------------

void LinkControl::Attach(HWND page, int controlId) {
    ReleaseCursor();
    if (underlined) DeleteObject(underlined);
    underlined = nullptr;
    dialog = page;
    control = GetDlgItem(page, controlId);
    handCursor = LoadHandCursor(&cursorShared);
    // The control draws its text in an underlined copy of its own font, made
    // once per page rather than on every repaint.
    HFONT base = control ? reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)) : nullptr;
    if (!base) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA description;
    if (control && GetObjectA(base, sizeof description, &description)) {
        description.lfUnderline = TRUE;
        underlined = CreateFontIndirectA(&description);
        underlinedFrom = base;
        if (underlined) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(underlined), FALSE);
    }
}

bool LinkControl::OnSetCursor() {
    if (!handCursor || !control) return false;
    POINT cursor;
    RECT area;
    if (!GetCursorPos(&cursor) || !GetWindowRect(control, &area) || !PtInRect(&area, cursor))
        return false;
    SetCursor(handCursor);
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, TRUE);
    return true;
}

HBRUSH LinkControl::OnColorStatic(HDC context) {
    SetTextColor(context, kLinkColour);
    SetBkMode(context, TRANSPARENT);
    if (underlined) SelectObject(context, underlined);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

void LinkControl::ReleaseCursor() {
    if (handCursor && !cursorShared) DestroyCursor(handCursor);
    handCursor = nullptr;
    cursorShared = false;
}

LinkControl::~LinkControl() {
    ReleaseCursor();
    if (underlined) DeleteObject(underlined);
}

// The page procedure --------------------------------------------------------

INT_PTR CALLBACK ConfigurePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: {
        const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEA*>(lParam);
        SetWindowLongPtrA(page, DWLP_USER, sheetPage->lParam);
        ConfigurePage index = PageIndex(page);
        if (index == ConfigurePage::Introduction) {
            if (introduction.picture) DeleteObject(introduction.picture);
            introduction.picture = LoadBitmapA(SaverInstance(),
                                               MAKEINTRESOURCEA(IDB_INTRODUCTION_PICTURE));
        }
        PageOnInit(index, ToPageWindow(page));
        return TRUE;
    }
    case WM_PAINT: {
        ConfigurePage index = PageIndex(page);
        if (index != ConfigurePage::Introduction && index != ConfigurePage::CustomControls)
            return FALSE;
        // The page paints itself first, then the picture or swatch over it.
        DefWindowProcA(page, message, wParam, lParam);
        if (index == ConfigurePage::Introduction) PaintPicture(page);
        else PaintSwatch(page);
        return FALSE;
    }
    case WM_SETCURSOR:
        for (LinkControl& link : introduction.links)
            if (link.dialog == page && link.OnSetCursor()) return TRUE;
        return FALSE;
    case WM_CTLCOLORSTATIC:
        if (LinkControl* link = LinkFor(reinterpret_cast<HWND>(lParam)))
            return reinterpret_cast<INT_PTR>(link->OnColorStatic(reinterpret_cast<HDC>(wParam)));
        return FALSE;
    case WM_COMMAND:
        // Clicks only: a double click or a focus change is not a new choice.
        if (HIWORD(wParam) != BN_CLICKED) return TRUE;
        return PageOnCommand(PageIndex(page), ToPageWindow(page), LOWORD(wParam)) ? FALSE : TRUE;
    case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY:
        if (PageIndex(page) == ConfigurePage::Introduction) {
            for (LinkControl& link : introduction.links) link.ReleaseCursor();
            if (introduction.picture) DeleteObject(introduction.picture);
            introduction.picture = nullptr;
        }
        return FALSE;
    case WM_NCDESTROY:
        // The links' fonts outlive their controls by nothing.
        for (LinkControl& link : introduction.links) {
            if (link.dialog != page) continue;
            if (link.underlined) DeleteObject(link.underlined);
            link = LinkControl();
        }
        return FALSE;
    default:
        return FALSE;
    }
}

// Page controls -------------------------------------------------------------

void PageSetChecked(PageWindow page, int control, bool ticked) {
    CheckDlgButton(PageHandle(page), control, ticked ? BST_CHECKED : BST_UNCHECKED);
}

bool PageIsChecked(PageWindow page, int control) {
    return IsDlgButtonChecked(PageHandle(page), control) == BST_CHECKED;
}

void PageSelectRadio(PageWindow page, int first, int last, int selected) {
    if (selected >= first && selected <= last) {
        CheckRadioButton(PageHandle(page), first, last, selected);
        return;
    }
    for (int id = first; id <= last; ++id) CheckDlgButton(PageHandle(page), id, BST_UNCHECKED);
}

void PageSetText(PageWindow page, int control, const char* text) {
    SetDlgItemTextA(PageHandle(page), control, text);
}

void PageEnable(PageWindow page, int control, bool enabled) {
    if (HWND item = GetDlgItem(PageHandle(page), control)) EnableWindow(item, enabled);
}

void PageRepaintSwatch(PageWindow page, int control) {
    HWND dialog = PageHandle(page);
    HWND swatch = GetDlgItem(dialog, control);
    if (!swatch) return;
    RECT area;
    GetWindowRect(swatch, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
    InvalidateRect(dialog, &area, TRUE);
}

void PageMakeLink(PageWindow page, int control) {
    HWND dialog = PageHandle(page);
    HWND item = GetDlgItem(dialog, control);
    LinkControl* slot = nullptr;
    for (LinkControl& link : introduction.links)
        if (link.dialog == dialog && link.control == item) slot = &link;
    for (LinkControl& link : introduction.links)
        if (!slot && !link.control) slot = &link;
    if (slot) slot->Attach(dialog, control);
}

void PageShowInformation(PageWindow page, const char* text, const char* caption) {
    MessageBoxA(PageHandle(page), text, caption, MB_OK | MB_ICONINFORMATION);
}
