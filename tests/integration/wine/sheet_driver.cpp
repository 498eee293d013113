// Drives the saver's configuration sheet from another process in the same
// Wine prefix, for the integration tests. Commands run in order from the
// command line; each prints one line ("ok", a value, or "error: ...") and
// every wait has a time limit. Clicks and closes are posted, never sent: a
// sent click that opens a modal dialog would block the driver, and a sent
// PSM_PRESSBUTTON can leave the sheet open under Wine.
//
//   sheet_driver sheet 20000 select 2 click 1154 wait-reg ShowTime 1 ...
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {
constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 20;
constexpr UINT kSendTimeoutMs = 5000;
constexpr char kSheetTitle[] = "Chronovale";
constexpr char kKey[] = "Software\\Quillmere\\Chronovale";
constexpr int kColourBoxId = 0x2d0;  // the colour dialog's basic colours
constexpr int kFaceComboId = 0x470;  // the font dialog's face list (cmb1)

HWND dialog = nullptr;  // the last common dialog or message box found

bool IsDialogClass(HWND window) {
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    return strcmp(name, "#32770") == 0;
}

struct Search {
    const char* title;
    HWND found;
    int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    char title[256] = "";
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && IsDialogClass(window) && strcmp(title, search->title) == 0) {
        ++search->count;
        search->found = window;
    }
    return TRUE;
}

Search FindTitled(const char* title) {
    Search search = {title, nullptr, 0};
    EnumWindows(CountTitled, reinterpret_cast<LPARAM>(&search));
    return search;
}

HWND WaitTitled(const char* title, DWORD limitMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND found = FindTitled(title).found) return found;
        if (GetTickCount() - start > limitMs) return nullptr;
        Sleep(kPollMs);
    }
}

HWND Sheet() { return FindTitled(kSheetTitle).found; }

HWND CurrentPage() {
    HWND sheet = Sheet();
    if (!sheet) return nullptr;
    DWORD_PTR page = 0;
    SendMessageTimeoutA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &page);
    return reinterpret_cast<HWND>(page);
}

// The tab texts, read through a buffer in the sheet's process: the tab
// control's item messages carry pointers that do not cross processes.
std::string TabTexts() {
    HWND sheet = Sheet();
    if (!sheet) return "error: no sheet";
    HWND tabs = reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETTABCONTROL, 0, 0));
    DWORD pid = 0;
    GetWindowThreadProcessId(sheet, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!tabs || !process) return "error: no tab control";
    const SIZE_T textSize = 256;
    auto* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, sizeof(TCITEMA) + textSize,
                                                     MEM_COMMIT, PAGE_READWRITE));
    std::string result;
    int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = remote + sizeof(TCITEMA);
        item.cchTextMax = textSize;
        WriteProcessMemory(process, remote, &item, sizeof item, nullptr);
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(remote));
        char text[textSize] = "";
        ReadProcessMemory(process, remote + sizeof(TCITEMA), text, textSize - 1, nullptr);
        if (i) result += "|";
        result += text;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return result;
}

std::string ReadSetting(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char data[1024] = "";
    DWORD type = 0, size = sizeof data - 1;
    LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS) return "<none>";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<int32_t*>(data));
    data[size] = '\0';
    return data;
}

// Bytes above 127 (ANSI code page) as \xNN, so the output is plain ASCII.
std::string Escaped(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char code[8];
        snprintf(code, sizeof code, "\\x%02X", c);
        out += c < 0x80 ? std::string(1, static_cast<char>(c)) : std::string(code);
    }
    return out;
}

std::string ItemText(HWND window, int id) {
    char text[1024] = "";
    GetDlgItemTextA(window, id, text, sizeof text);
    return text;
}

template <typename F>
bool WaitFor(F&& condition) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > kWaitMs) return false;
        Sleep(kPollMs);
    }
    return true;
}

void PostClick(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

// Runs one command starting at argv[i]; returns how many arguments it took,
// or 0 for an unknown command.
int Run(char** argv, int i, int argc, bool* failed) {
    const std::string command = argv[i];
    auto arg = [&](int n) -> const char* { return i + n < argc ? argv[i + n] : ""; };
    auto fail = [&](const std::string& why) {
        printf("error: %s: %s\n", command.c_str(), why.c_str());
        *failed = true;
    };
    HWND page = CurrentPage();

    if (command == "sheet") {  // wait for the sheet
        HWND sheet = WaitTitled(kSheetTitle, static_cast<DWORD>(atoi(arg(1))));
        sheet ? void(printf("ok\n")) : fail("no sheet");
        return 2;
    }
    if (command == "count-sheets") {
        printf("%d\n", FindTitled(kSheetTitle).count);
        return 1;
    }
    if (command == "tabs") {
        printf("%s\n", TabTexts().c_str());
        return 1;
    }
    if (command == "select") {  // show page N
        DWORD_PTR result = 0;
        SendMessageTimeoutA(Sheet(), PSM_SETCURSEL, atoi(arg(1)), 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
        result ? void(printf("ok\n")) : fail("not selected");
        return 2;
    }
    if (command == "current") {
        HWND sheet = Sheet();
        printf("%d\n", static_cast<int>(SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(CurrentPage()), 0)));
        return 1;
    }
    if (command == "check" || command == "enabled" || command == "text") {
        int id = atoi(arg(1));
        if (!page || !GetDlgItem(page, id)) {
            fail("no control " + std::string(arg(1)));
        } else if (command == "check") {
            printf("%u\n", IsDlgButtonChecked(page, id));
        } else if (command == "enabled") {
            printf("%d\n", IsWindowEnabled(GetDlgItem(page, id)) ? 1 : 0);
        } else {
            printf("%s\n", Escaped(ItemText(page, id)).c_str());
        }
        return 2;
    }
    if (command == "click") {  // a button of the current page, posted
        int id = atoi(arg(1));
        HWND control = page ? GetDlgItem(page, id) : nullptr;
        if (!control) {
            fail("no control");
            return 2;
        }
        PostMessageA(control, BM_CLICK, 0, 0);
        printf("ok\n");
        return 2;
    }
    if (command == "wait-check") {
        int id = atoi(arg(1));
        UINT want = static_cast<UINT>(atoi(arg(2)));
        WaitFor([&] { return IsDlgButtonChecked(CurrentPage(), id) == want; }) ? void(printf("ok\n"))
                                                                             : fail("still not " + std::string(arg(2)));
        return 3;
    }
    if (command == "wait-reg") {
        std::string want = arg(2);
        const char* name = arg(1);
        WaitFor([&] { return ReadSetting(name) == want; })
            ? void(printf("ok\n"))
            : fail(std::string(name) + " is " + ReadSetting(name) + ", not " + want);
        return 3;
    }
    if (command == "wait-text") {
        int id = atoi(arg(1));
        std::string want = arg(2);
        WaitFor([&] { return ItemText(CurrentPage(), id) == want; })
            ? void(printf("ok\n"))
            : fail("text is \"" + ItemText(CurrentPage(), id) + "\"");
        return 3;
    }
    if (command == "reg") {
        printf("%s\n", ReadSetting(arg(1)).c_str());
        return 2;
    }
    if (command == "dialog") {  // wait for a dialog or message box by title
        dialog = WaitTitled(arg(1), kWaitMs);
        dialog ? void(printf("ok\n")) : fail(std::string("no dialog ") + arg(1));
        return 2;
    }
    if (command == "no-dialog") {  // none by that title within a while
        Sleep(static_cast<DWORD>(atoi(arg(2))));
        FindTitled(arg(1)).found ? fail(std::string("a dialog ") + arg(1)) : void(printf("ok\n"));
        return 3;
    }
    if (command == "dialog-text") {
        printf("%s\n", dialog ? ItemText(dialog, atoi(arg(1))).c_str() : "");
        return 2;
    }
    if (command == "dialog-set") {  // the text of an edit field, or of a combo box's edit
        HWND item = dialog ? GetDlgItem(dialog, atoi(arg(1))) : nullptr;
        for (const char* inner : {"ComboBox", "Edit"})
            if (HWND child = item ? FindWindowExA(item, nullptr, inner, nullptr) : nullptr) item = child;
        DWORD_PTR result = 0;
        if (item)
            SendMessageTimeoutA(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(arg(2)), SMTO_ABORTIFHUNG,
                                kSendTimeoutMs, &result);
        item ? void(printf("ok\n")) : fail("no item");
        return 3;
    }
    if (command == "dialog-press") {  // OK 1 or Cancel 2, then wait until it closes
        HWND closing = dialog;
        if (closing) PostClick(closing, atoi(arg(1)));
        closing && WaitFor([&] { return !IsWindow(closing); }) ? void(printf("ok\n")) : fail("dialog stayed");
        return 2;
    }
    if (command == "colour-pick") {  // the first basic colour, by a click in its cell
        HWND box = dialog ? GetDlgItem(dialog, kColourBoxId) : nullptr;
        if (!box) {
            fail("no colour box");
            return 1;
        }
        RECT area;
        GetWindowRect(box, &area);
        POINT cell = {area.left + 4, area.top + 4};
        ScreenToClient(dialog, &cell);
        PostMessageA(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.x, cell.y));
        PostMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM(cell.x, cell.y));
        printf("ok\n");
        return 1;
    }
    if (command == "font-pick") {  // a face of the font dialog's list, by its exact name
        HWND combo = dialog ? GetDlgItem(dialog, kFaceComboId) : nullptr;
        DWORD_PTR index = static_cast<DWORD_PTR>(CB_ERR), selected = 0;
        if (combo)
            SendMessageTimeoutA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                reinterpret_cast<LPARAM>(arg(1)), SMTO_ABORTIFHUNG, kSendTimeoutMs, &index);
        if (!combo || index == static_cast<DWORD_PTR>(CB_ERR)) {
            fail(std::string("no face ") + arg(1));
            return 2;
        }
        SendMessageTimeoutA(combo, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &selected);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kFaceComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        printf("ok\n");
        return 2;
    }
    if (command == "dialog-children") {  // for writing tests: id, class and text of each
        for (HWND child = dialog ? GetWindow(dialog, GW_CHILD) : nullptr; child;
             child = GetWindow(child, GW_HWNDNEXT)) {
            char name[64] = "", text[128] = "";
            GetClassNameA(child, name, sizeof name);
            GetWindowTextA(child, text, sizeof text);
            printf("%d %s %s;", GetDlgCtrlID(child), name, text);
        }
        printf("\n");
        return 1;
    }
    if (command == "pixel") {  // the screen colour at the middle of a control, 0x00BBGGRR
        HWND control = page ? GetDlgItem(page, atoi(arg(1))) : nullptr;
        RECT area;
        if (!control || !GetWindowRect(control, &area)) {
            fail("no control");
            return 2;
        }
        HDC screen = GetDC(nullptr);
        COLORREF colour = GetPixel(screen, (area.left + area.right) / 2, (area.top + area.bottom) / 2);
        ReleaseDC(nullptr, screen);
        printf("0x%06lX\n", static_cast<unsigned long>(colour));
        return 2;
    }
    if (command == "paint-wait") {  // "ready", then "painted" once the sheet shows on screen
        printf("ready\n");
        fflush(stdout);
        DWORD start = GetTickCount();
        const DWORD limit = static_cast<DWORD>(atoi(arg(1)));
        for (;;) {
            HWND sheet = Sheet();
            RECT area;
            if (sheet && GetWindowRect(sheet, &area)) {
                // The screen is black until the sheet's own background is drawn.
                HDC screen = GetDC(nullptr);
                COLORREF colour = GetPixel(screen, area.left + 4, (area.top + area.bottom) / 2);
                ReleaseDC(nullptr, screen);
                if (colour != 0 && colour != CLR_INVALID) break;
            }
            if (GetTickCount() - start > limit) {
                fail("no paint");
                return 2;
            }
            Sleep(1);
        }
        printf("painted\n");
        return 2;
    }
    if (command == "cursor-over") {  // moves the pointer onto a control; prints the cursor then shown
        HWND control = page ? GetDlgItem(page, atoi(arg(1))) : nullptr;
        RECT area;
        if (!control || !GetWindowRect(control, &area)) {
            fail("no control");
            return 2;
        }
        SetCursorPos(area.left + 3, (area.top + area.bottom) / 2);
        CURSORINFO info = {};
        info.cbSize = sizeof info;
        HCURSOR previous = nullptr;
        // The sheet sets its cursor when the move reaches it; wait until it settles.
        for (int i = 0; i < 25; ++i) {
            Sleep(40);
            GetCursorInfo(&info);
            if (i > 2 && info.hCursor == previous) break;
            previous = info.hCursor;
        }
        printf("%p\n", static_cast<void*>(info.hCursor));
        return 2;
    }
    if (command == "help") {
        PostMessageA(Sheet(), PSM_PRESSBUTTON, PSBTN_HELP, 0);
        printf("ok\n");
        return 1;
    }
    if (command == "close") {  // OK, posted; then wait until the sheet is gone
        HWND sheet = Sheet();
        if (sheet) PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        sheet && WaitFor([&] { return !IsWindow(sheet); }) ? void(printf("ok\n")) : fail("sheet stayed");
        return 1;
    }
    return 0;
}
}  // namespace

int main(int argc, char** argv) {
    bool failed = false;
    for (int i = 1; i < argc && !failed;) {
        int taken = Run(argv, i, argc, &failed);
        if (taken == 0) {
            printf("error: unknown command %s\n", argv[i]);
            return 2;
        }
        fflush(stdout);
        i += taken;
    }
    return failed ? 1 : 0;
}
