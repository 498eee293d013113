// The platform version class, the program's folder, file existence and the
// shell's "open" verb.
#include <cstdio>
#include <cstring>

#include "main.h"
#include "platform/shell.h"

int MapOsVersionClass(const OsVersionFields& v) {
    switch (v.family) {
    case PlatformFamily::Win32s:
        return 1;
    case PlatformFamily::Windows9x: {
        bool upToFourZero = v.major < 4 || (v.major == 4 && v.minor == 0);
        if (upToFourZero) return (v.build & 0xFFFFu) <= 1000 ? 2 : 3;
        return v.minor == 90 ? 5 : 4;
    }
    case PlatformFamily::WindowsNT:
        if (v.major < 5) return 6;
        return v.minor == 1 ? 8 : 7;
    default:
        return 0;
    }
}

int GetOsVersionClass() {
    OsVersionFields fields = {PlatformFamily::Win32s, 0, 0, 0};
    if (!QueryOsVersion(&fields)) fields = {PlatformFamily::Win32s, 0, 0, 0};
    return MapOsVersionClass(fields);
}

void SetDirToProgramFolder() {
    char path[kModulePathSize];
    if (!GetProgramPath(path, sizeof path)) return;
    char* cut = strrchr(path, '\\');
    char* slash = strrchr(path, '/');
    if (!cut || (slash && slash > cut)) cut = slash;
    if (cut == path) ++cut;  // a program in the root keeps the root
    if (cut) *cut = '\0';
    SetCurrentDir(path);
}

bool FileExists(const char* fileName) {
    FILE* file = fopen(fileName, "r");
    if (!file) return false;
    fclose(file);
    return true;
}

bool OpenWithShell(const char* target) { return ShellOpen(target); }
