// Presses a button of the configuration sheet in another process, as a
// click would: sheet_button ok|help. Posted, not sent: a cross-process send
// can leave the sheet waiting for a message before it notices the press.
// Exit 0 once posted, 1 when no sheet appeared within ten seconds.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    int button = -1;
    if (strcmp(argv[1], "ok") == 0) button = PSBTN_OK;
    if (strcmp(argv[1], "help") == 0) button = PSBTN_HELP;
    if (button < 0) return 2;
    for (int attempt = 0; attempt < 100; ++attempt) {
        HWND sheet = FindWindowA("#32770", "Chronovale");
        if (sheet) return PostMessageA(sheet, PSM_PRESSBUTTON, button, 0) ? 0 : 1;
        Sleep(100);
    }
    return 1;
}
