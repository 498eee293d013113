// Process services on Linux: the program's path from /proc/self/exe, the
// exit, the current directory, errno and its text, the version record and
// the beep (the X bell of the saver's display, when one is open).
#include "x11_backend.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/process.h"

namespace {
// Linux counts as the newest Windows family the version classes know, so the
// saver behaves as on a modern platform.
constexpr uint32_t kReportedMajorVersion = 10;
constexpr int kBellVolume = 0;  // the server's base volume

// strerror_r has two signatures; each overload takes the result of one.
[[maybe_unused]] const char* ErrorTextResult(int result, const char* buffer) {
    return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorTextResult(const char* result, const char*) { return result; }
}  // namespace

bool GetProgramPath(char* buffer, size_t size) {
    if (size == 0) return false;
    ssize_t length = readlink("/proc/self/exe", buffer, size);
    // readlink does not terminate, and a full buffer may hold a cut path.
    if (length < 0 || static_cast<size_t>(length) >= size) {
        buffer[0] = '\0';
        return false;
    }
    buffer[length] = '\0';
    return true;
}

void ExitProgram(int exitCode) { exit(exitCode); }

bool SetCurrentDir(const char* path) { return chdir(path) == 0; }

void PlatformBeep(BeepKind) {
    Display* display = SaverDisplay();
    if (!display) {
        // Configuration mode has the dialog's display instead of the saver's.
        if (dialogDisplay.beep) dialogDisplay.beep();
        return;
    }
    XBell(display, kBellVolume);
    XFlush(display);
}

uint32_t LastPlatformError() { return static_cast<uint32_t>(errno); }

void PlatformErrorText(uint32_t code, char* buffer, size_t size) {
    if (size == 0) return;
    char scratch[256] = "";
    const char* text = ErrorTextResult(strerror_r(static_cast<int>(code), scratch, sizeof scratch),
                                       scratch);
    if (!text) text = "Unknown error";
    size_t length = strnlen(text, size - 1);
    memcpy(buffer, text, length);
    buffer[length] = '\0';
}

bool QueryOsVersion(OsVersionFields* fields) {
    *fields = {PlatformFamily::WindowsNT, kReportedMajorVersion, 0, 0};
    return true;
}
