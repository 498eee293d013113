// The 9x family's password provider: the control-panel library's check of the
// saver password, and the multiple-provider router's password change. The
// framework loads them only on that family.
#include "win32_password.h"

#include <cstring>

namespace {
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kUsePasswordValue[] = "ScreenSaveUsePassword";
constexpr char kVerifierLibrary[] = "PASSWORD.CPL";
constexpr char kVerifierEntry[] = "VerifyScreenSavePwd";
constexpr char kChangerLibrary[] = "MPR.DLL";
constexpr char kChangerEntry[] = "PwdChangePasswordA";
constexpr char kSaverPasswordProvider[] = "SCRSAVE";

// The desktop keeps the switch as a number or, written by hand, as text.
bool SaverPasswordWanted() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    unsigned char data[16] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof data - 1;
    LONG result = RegQueryValueExA(key, kUsePasswordValue, nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return false;
    if (type == REG_DWORD || type == REG_BINARY) {
        for (DWORD i = 0; i < size; ++i)
            if (data[i] != 0) return true;
        return false;
    }
    if (type == REG_SZ) return strcmp(reinterpret_cast<char*>(data), "0") != 0 && data[0] != 0;
    return false;
}
}  // namespace

void PasswordProvider::LoadIfWanted() {
    Release();
    if (!SaverPasswordWanted()) return;
    library = LoadLibraryA(kVerifierLibrary);
    if (!library) return;
    verify = reinterpret_cast<VerifyProc>(
        reinterpret_cast<void*>(GetProcAddress(library, kVerifierEntry)));
    if (!verify) Release();
}

void PasswordProvider::Release() {
    verify = nullptr;
    if (library) FreeLibrary(library);
    library = nullptr;
}

bool PasswordProvider::ConfirmClose(HWND window) {
    if (!verify) return true;
    return verify(window) != FALSE;
}

int ChangeSaverPassword(HWND owner) {
    using ChangeProc = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    HMODULE router = LoadLibraryA(kChangerLibrary);
    if (!router) return 0;
    auto change = reinterpret_cast<ChangeProc>(
        reinterpret_cast<void*>(GetProcAddress(router, kChangerEntry)));
    if (change) change(kSaverPasswordProvider, owner, 0, nullptr);
    FreeLibrary(router);
    return 0;
}
