// Process-level platform services: the program's own path, ending the
// process, the current directory, the beep, the platform's error codes and
// texts, and the version record behind GetOsVersionClass.
#pragma once

#include <cstddef>
#include <cstdint>

// Fills buffer with the running program's full path; false when it does not
// fit or cannot be read.
bool GetProgramPath(char* buffer, size_t size);

[[noreturn]] void ExitProgram(int exitCode);

bool SetCurrentDir(const char* path);

enum class BeepKind { Default, Exclamation };
void PlatformBeep(BeepKind kind);

// The calling thread's last platform error code (GetLastError, errno).
uint32_t LastPlatformError();

// The platform's own text for an error code, in the default language,
// without a trailing line break; always terminated within size.
void PlatformErrorText(uint32_t code, char* buffer, size_t size);

// The platform version as the Windows version query reports it.
enum class PlatformFamily { Win32s = 0, Windows9x = 1, WindowsNT = 2, Other = 3 };
struct OsVersionFields {
    PlatformFamily family;
    uint32_t major;
    uint32_t minor;
    uint32_t build;
};

// False when the query fails; the fields are then all zero.
bool QueryOsVersion(OsVersionFields* fields);
