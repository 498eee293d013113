// The Windows launcher: a windowless program that turns its command line into
// one shell request, the "config" verb on the saver or the maker's home page
// in the default browser, and always ends with 0. Failures stay silent.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

#include "launcher_switches.h"

namespace launcher {

void OpenConfiguration() {
    char saverFile[kTargetSize];
    FormatSaverFile(saverFile);
    // The shell resolves the relative name against the current directory
    // (the shortcut's start folder) and its search path.
    ShellExecuteA(nullptr, "config", saverFile, nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenHomePage() {
    char address[kTargetSize];
    FormatHomePage(address);
    SHELLEXECUTEINFOA request;
    ZeroMemory(&request, sizeof request);
    request.cbSize = sizeof request;
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.hwnd = GetDesktopWindow();
    request.lpVerb = "open";
    request.lpFile = address;
    request.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExA(&request) && request.hProcess) CloseHandle(request.hProcess);
}

}  // namespace launcher

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // Shell verbs may be carried out by shell extensions, which expect COM.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    launcher::CarryOut(commandLine);
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
