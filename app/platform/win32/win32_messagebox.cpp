// Message boxes on Windows: MessageBoxA with no owner window. A null caption
// leaves the system's own ("Error").
#include "platform/messagebox.h"

#include <windows.h>

void ShowMessageBox(const char* text, const char* caption, MessageIcon icon, bool topmost) {
    UINT style = MB_OK | (icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONWARNING);
    if (topmost) style |= MB_TOPMOST | MB_SETFOREGROUND;
    MessageBoxA(nullptr, text, caption, style);
}
