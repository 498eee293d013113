// One settings dialog at a time on Linux: an advisory lock (flock) on a file
// named after the mutex in $XDG_RUNTIME_DIR, or in the settings folder when
// that variable is unset. The kernel drops the lock with the process, so a
// killed dialog never blocks the next one. The dialog itself is gtk_pages'.
#pragma once

#include <cstdint>

enum class ConfigureLockResult { Acquired, HeldElsewhere, Unavailable };

struct ConfigureLock {
    int fd = -1;
};

// Creates (if needed) and locks the file named lockName without waiting.
ConfigureLockResult AcquireConfigureLock(const char* lockName, ConfigureLock* lock);

// Records the dialog's window in the lock file, so that a second start can
// bring that window forward.
void RecordConfigureWindow(const ConfigureLock& lock, uint64_t window);

// The window the holder recorded; 0 when none is recorded or the file
// cannot be read.
uint64_t ReadConfigureWindow(const char* lockName);

void ReleaseConfigureLock(ConfigureLock* lock);
