// The settings dialog's single-instance lock: flock on a file in the user's
// runtime folder. The file keeps the holder's window id as text so a second
// start can raise that window; the lock, not the file's presence, decides.
#include "posix_config_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "posix_regfile.h"

namespace {
constexpr mode_t kLockFileMode = 0600;
constexpr size_t kWindowTextSize = 32;

std::string LockFolder() {
    const char* runtime = getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/') return runtime;
    std::string settings = SettingsFilePath();
    size_t slash = settings.rfind('/');
    return slash == std::string::npos ? std::string() : settings.substr(0, slash);
}

// For calls whose failure changes nothing but what a second start can raise.
template <typename T>
void DiscardResult(T) {}

std::string LockPath(const char* lockName) {
    std::string folder = LockFolder();
    return folder.empty() ? folder : folder + "/" + lockName;
}
}  // namespace

ConfigureLockResult AcquireConfigureLock(const char* lockName, ConfigureLock* lock) {
    lock->fd = -1;
    std::string path = LockPath(lockName);
    if (path.empty()) return ConfigureLockResult::Unavailable;
    // The settings folder may not exist yet on a first start.
    std::string folder = path.substr(0, path.rfind('/'));
    mkdir(folder.c_str(), 0700);
    // O_NOFOLLOW: another user's link in a shared folder must not make us
    // truncate a file it points to.
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kLockFileMode);
    if (fd < 0) return ConfigureLockResult::Unavailable;
    int result;
    do {
        result = flock(fd, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        bool held = errno == EWOULDBLOCK;
        close(fd);
        return held ? ConfigureLockResult::HeldElsewhere : ConfigureLockResult::Unavailable;
    }
    // A window id left by a killed holder names nothing now. Should the
    // file stay as it was, a later start raises nothing: the lock holds.
    DiscardResult(ftruncate(fd, 0));
    lock->fd = fd;
    return ConfigureLockResult::Acquired;
}

void RecordConfigureWindow(const ConfigureLock& lock, uint64_t window) {
    if (lock.fd < 0) return;
    char text[kWindowTextSize];
    int length = snprintf(text, sizeof text, "0x%" PRIx64 "\n", window);
    if (length <= 0) return;
    // The file was emptied on locking, so no longer old text follows.
    DiscardResult(pwrite(lock.fd, text, static_cast<size_t>(length), 0));
}

uint64_t ReadConfigureWindow(const char* lockName) {
    std::string path = LockPath(lockName);
    if (path.empty()) return 0;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return 0;
    char text[kWindowTextSize] = {};
    ssize_t got = read(fd, text, sizeof text - 1);
    close(fd);
    if (got <= 0) return 0;
    char* end = nullptr;
    unsigned long long value = strtoull(text, &end, 16);
    return end != text ? static_cast<uint64_t>(value) : 0;
}

void ReleaseConfigureLock(ConfigureLock* lock) {
    if (lock->fd < 0) return;
    // Closing drops the lock; the file stays, a later start reuses it.
    close(lock->fd);
    lock->fd = -1;
}
