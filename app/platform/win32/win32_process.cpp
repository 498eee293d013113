// Process services on Windows: the module path, ending the process, the
// current directory, the beeps, the last error and its system text, and the
// version query behind GetOsVersionClass.
#include "platform/process.h"

#include <cstdlib>
#include <cstring>

#include "win32_rules.h"

bool GetProgramPath(char* buffer, size_t size) {
    if (size == 0) return false;
    DWORD length = GetModuleFileNameA(nullptr, buffer, static_cast<DWORD>(size));
    // A path that filled the whole buffer was cut (and, on older systems,
    // left unterminated).
    if (length == 0 || length >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

void ExitProgram(int exitCode) { exit(exitCode); }

bool SetCurrentDir(const char* path) { return SetCurrentDirectoryA(path) != FALSE; }

void PlatformBeep(BeepKind kind) {
    MessageBeep(kind == BeepKind::Exclamation ? MB_ICONEXCLAMATION : 0);
}

uint32_t LastPlatformError() { return GetLastError(); }

void PlatformErrorText(uint32_t code, char* buffer, size_t size) {
    if (size == 0) return;
    buffer[0] = '\0';
    char* text = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
        nullptr);
    if (length == 0 || !text) return;
    size_t copied = strnlen(text, size - 1);
    memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    LocalFree(text);
    TrimTrailingLineBreak(buffer);
}

bool QueryOsVersion(OsVersionFields* fields) {
    *fields = {PlatformFamily::Win32s, 0, 0, 0};
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExA(&info)) return false;
    switch (info.dwPlatformId) {
    case VER_PLATFORM_WIN32s:
        fields->family = PlatformFamily::Win32s;
        break;
    case VER_PLATFORM_WIN32_WINDOWS:
        fields->family = PlatformFamily::Windows9x;
        break;
    case VER_PLATFORM_WIN32_NT:
        fields->family = PlatformFamily::WindowsNT;
        break;
    default:
        fields->family = PlatformFamily::Other;
        break;
    }
    fields->major = info.dwMajorVersion;
    fields->minor = info.dwMinorVersion;
    fields->build = info.dwBuildNumber;
    return true;
}
