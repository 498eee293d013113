// The property sheet's page procedure and the hyperlink controls of the
// Introduction page. The procedure turns page messages into calls of the
// portable handlers (controls.h) and paints what those cannot: the picture,
// the link look and the colour swatch.
#pragma once

#include <windows.h>

// One procedure for all four pages; the page's index comes in the
// PROPSHEETPAGE's lParam and is kept in the dialog's user slot.
INT_PTR CALLBACK ConfigurePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// A static control drawn as a hyperlink: blue, underlined, hand cursor.
struct LinkControl {
    HWND dialog = nullptr;
    HWND control = nullptr;
    HCURSOR handCursor = nullptr;
    bool cursorShared = false;   // the system's hand cursor is never destroyed
    HFONT underlined = nullptr;  // made once from the control's font
    HFONT underlinedFrom = nullptr;

    void Attach(HWND page, int controlId);
    bool OnSetCursor();
    HBRUSH OnColorStatic(HDC context);
    void ReleaseCursor();
    ~LinkControl();
};
