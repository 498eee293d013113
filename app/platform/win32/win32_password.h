// The 9x family's saver password: the system's password provider confirms a
// close when the desktop settings ask for a password, and changes the
// password in the /a mode. Other families have no provider; nothing here is
// loaded there.
#pragma once

#include <windows.h>

class PasswordProvider {
public:
    PasswordProvider() = default;
    ~PasswordProvider() { Release(); }
    PasswordProvider(const PasswordProvider&) = delete;
    PasswordProvider& operator=(const PasswordProvider&) = delete;

    // Loads the provider when the desktop settings ask for a saver password.
    void LoadIfWanted();
    void Release();
    bool IsLoaded() const { return verify != nullptr; }

    // Asks the user for the password; true when the close may go ahead.
    bool ConfirmClose(HWND window);

private:
    using VerifyProc = BOOL(WINAPI*)(HWND);
    HMODULE library = nullptr;
    VerifyProc verify = nullptr;
};

// The /a mode: the provider's password change for the saver, owned by owner.
// Returns the process exit code.
int ChangeSaverPassword(HWND owner);
