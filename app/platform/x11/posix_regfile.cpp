// RegistryKey on Linux: the settings key is a section of a registry-format
// text file. Open locks the file and reads it, reads and writes work on the
// copy in memory, Close writes it back atomically when it changed. The text
// format itself is regfile_format.cpp's.
#include "posix_regfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "platform/registry.h"
#include "platform/x11/regfile_format.h"
#include "product.h"

namespace {

constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;
constexpr int kMaxSymlinkDepth = 40;
constexpr long kLockPollNs = 1000000;  // 1 ms between attempts at a held lock
constexpr int kLockTimeoutMs = 5000;   // then read without it rather than hang the saver
constexpr int kMaxSetAsideCopies = 10;  // .bad, .bad.1 ... .bad.9
constexpr const char* kFileSuffix = ".reg";
constexpr const char* kLockSuffix = ".lock";
constexpr const char* kBadSuffix = ".bad";
constexpr const char* kTempInfix = ".tmp.";
constexpr size_t kTempRandomLength = 6;  // the XXXXXX of mkstemp

// The open key behind RegistryKey::handle.
struct OpenRegFile {
    std::string keyPath;
    std::string dataPath;  // the file itself, symlinks resolved
    int lockFd = -1;
    bool writable = false;  // false when the lock could not be taken
    bool changed = false;
    std::string original;  // the bytes as read, to skip writing them again
    RegFileDocument document;
};

// The process-wide record of the store: which file's folder has already
// been cleared of temporary files left by a killed writer, and which file's
// lock was held past the time limit. Once a lock was found stuck, later Opens
// try it only once, so the saver's 25 setting loads do not each wait.
struct RegFileStore {
    std::string clearedDataPath;
    std::string stuckLockPath;
};
// The setting objects open the store while the program's globals are still
// being built, so the record is made on first use rather than as a global.
RegFileStore& Store() {
    static RegFileStore store;
    return store;
}

std::string Dirname(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string Basename(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string HomeFolder() {
    const char* home = getenv("HOME");
    if (home && home[0] == '/') return home;
    struct passwd entry;
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found &&
        found->pw_dir && found->pw_dir[0] == '/')
        return found->pw_dir;
    return std::string();
}

std::string ConfigHome() {
    const char* xdg = getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return xdg;
    std::string home = HomeFolder();
    return home.empty() ? home : home + "/.config";
}

// mkdir -p with private folders; existing folders are left as they are.
void MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        std::string prefix = path.substr(0, slash);
        if (!prefix.empty()) mkdir(prefix.c_str(), kFolderMode);
        if (slash == std::string::npos) break;
    }
}

// Follows symlinks so that the file is replaced at its target and the link
// stays. A missing target is fine; a loop gives an empty path.
std::string ResolveSymlinks(std::string path) {
    for (int depth = 0; depth < kMaxSymlinkDepth; ++depth) {
        struct stat info;
        if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[4096];
        ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length <= 0) return std::string();
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : Dirname(path) + "/" + target;
    }
    return std::string();
}

void SleepNs(long ns) {
    struct timespec delay = {0, ns};
    while (nanosleep(&delay, &delay) != 0 && errno == EINTR) {
    }
}

bool LockWithTimeout(int fd, bool tryOnce) {
    for (long waited = 0; waited <= kLockTimeoutMs * 1000000L; waited += kLockPollNs) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
        if ((errno != EWOULDBLOCK && errno != EINTR) || tryOnce) return false;
        SleepNs(kLockPollNs);
    }
    return false;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Replaces the file in one step: a reader or a killed writer sees either the
// old or the new content, never a part.
bool ReplaceFile(const std::string& path, const std::string& bytes) {
    std::string tempPath = path + kTempInfix + std::string(kTempRandomLength, 'X');
    int fd = mkostemp(&tempPath[0], O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fchmod(fd, kFileMode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    if (close(fd) != 0) ok = false;
    if (ok && rename(tempPath.c_str(), path.c_str()) != 0) ok = false;
    if (!ok) {
        unlink(tempPath.c_str());
        return false;
    }
    SyncFolder(Dirname(path));
    return true;
}

bool IsTempName(const std::string& name, const std::string& base) {
    std::string prefix = base + kTempInfix;
    if (name.size() != prefix.size() + kTempRandomLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        char c = name[i];
        bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum) return false;
    }
    return true;
}

// Only called under the lock: no other writer can be between mkstemp and
// rename then, so every file of our temporary pattern is left over.
void RemoveStaleTempFiles(const std::string& dataPath) {
    std::string folder = Dirname(dataPath);
    std::string base = Basename(dataPath);
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (struct dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (IsTempName(name, base)) unlinkat(dirfd(dir), name.c_str(), 0);
    }
    closedir(dir);
}

// Moves an unusable file out of the way without overwriting an earlier one;
// false when it could not be moved (every copy's place taken, or no right).
bool SetAside(const std::string& dataPath) {
    for (int copy = 0; copy < kMaxSetAsideCopies; ++copy) {
        std::string target = dataPath + kBadSuffix + (copy == 0 ? std::string() : "." + std::to_string(copy));
        struct stat info;
        if (lstat(target.c_str(), &info) == 0 || errno != ENOENT) continue;
        if (rename(dataPath.c_str(), target.c_str()) != 0) return false;
        SyncFolder(Dirname(dataPath));
        return true;
    }
    return false;
}

enum class ReadResult { Read, Missing, Unreadable };

ReadResult ReadWholeFile(const std::string& path, std::string* bytes, bool* tooLarge) {
    *tooLarge = false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Unreadable;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return ReadResult::Unreadable;
    }
    if (static_cast<unsigned long long>(info.st_size) > kRegFileMaxSize) {
        close(fd);
        *tooLarge = true;
        return ReadResult::Read;
    }
    bytes->resize(static_cast<size_t>(info.st_size));
    size_t done = 0;
    while (true) {
        if (done == bytes->size()) bytes->resize(done + 4096);  // the file may have grown
        ssize_t n = read(fd, &(*bytes)[done], bytes->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return ReadResult::Unreadable;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
        if (done > kRegFileMaxSize) {
            *tooLarge = true;
            break;
        }
    }
    close(fd);
    bytes->resize(done);
    return ReadResult::Read;
}

OpenRegFile* OpenStore(const char* keyPath) {
    std::string configHome = ConfigHome();
    if (configHome.empty()) return nullptr;
    MakeFolders(configHome + "/" + kProduct.companyName);
    std::string dataPath = ResolveSymlinks(SettingsFilePath());
    if (dataPath.empty()) return nullptr;

    auto* key = new OpenRegFile;
    key->keyPath = keyPath ? keyPath : "";
    key->dataPath = dataPath;
    std::string lockPath = dataPath + kLockSuffix;
    key->lockFd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, kFileMode);
    if (key->lockFd < 0) key->lockFd = open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    // Without the lock the file is still read (every replacement is atomic),
    // but nothing is written, so no other process's change can be undone.
    if (key->lockFd >= 0) {
        key->writable = LockWithTimeout(key->lockFd, Store().stuckLockPath == lockPath);
        Store().stuckLockPath = key->writable ? std::string() : lockPath;
    }

    if (key->writable && Store().clearedDataPath != dataPath) {
        RemoveStaleTempFiles(dataPath);
        Store().clearedDataPath = dataPath;
    }

    std::string bytes;
    bool tooLarge = false;
    ReadResult read = ReadWholeFile(dataPath, &bytes, &tooLarge);
    if (read == ReadResult::Unreadable) {
        if (key->lockFd >= 0) close(key->lockFd);
        delete key;
        return nullptr;
    }
    if (read == ReadResult::Read) {
        RegParseResult parsed =
            tooLarge ? RegParseResult::Unparseable : key->document.Parse(bytes);
        if (parsed == RegParseResult::Ok) {
            key->original = std::move(bytes);
        } else if (parsed == RegParseResult::Unparseable) {
            // The next Close writes a new file in its place, but only once the
            // old one is safe beside it.
            if (!key->writable || !SetAside(dataPath)) key->writable = false;
        } else {
            key->original = std::move(bytes);
        }
    }
    if (key->document.EnsureKey(key->keyPath)) key->changed = true;
    return key;
}

}  // namespace

std::string SettingsFilePath() {
    std::string configHome = ConfigHome();
    if (configHome.empty()) return configHome;
    return configHome + "/" + kProduct.companyName + "/" + kProduct.productName + kFileSuffix;
}

void RegistryKey::Open(const char* keyPath) {
    Close();
    handle = OpenStore(keyPath);
}

void RegistryKey::Close() {
    auto* key = static_cast<OpenRegFile*>(handle);
    if (!key) return;
    handle = nullptr;
    if (key->changed && key->writable) {
        std::string bytes = key->document.Serialise();
        if (bytes != key->original) ReplaceFile(key->dataPath, bytes);
    }
    if (key->lockFd >= 0) {
        // Unlocked explicitly: a child forked meanwhile shares the descriptor.
        flock(key->lockFd, LOCK_UN);
        close(key->lockFd);
    }
    delete key;
}

bool RegistryKey::ReadNumber(const char* valueName, int32_t* number) {
    auto* key = static_cast<OpenRegFile*>(handle);
    if (!key || !valueName || !number) return false;
    const RegValue* value = key->document.Find(key->keyPath, valueName);
    if (!value || (value->type != kRegDword && value->type != kRegBinary)) return false;
    // The registry would fail a longer value for the 4-byte buffer, and would
    // leave part of the buffer unwritten for a shorter one; both count as
    // unreadable here so that the default takes over.
    if (value->data.size() != sizeof(uint32_t)) return false;
    uint32_t u = 0;
    for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(value->data[i]);
    *number = static_cast<int32_t>(u);
    return true;
}

void RegistryKey::WriteNumber(const char* valueName, int32_t number) {
    auto* key = static_cast<OpenRegFile*>(handle);
    if (!key || !valueName) return;
    if (key->document.Set(key->keyPath, valueName, MakeDwordValue(number))) key->changed = true;
}

bool RegistryKey::ReadText(const char* valueName, char* buffer) {
    auto* key = static_cast<OpenRegFile*>(handle);
    if (!key || !valueName || !buffer) return false;
    const RegValue* value = key->document.Find(key->keyPath, valueName);
    if (!value) return false;
    if (value->type == kRegDword) {
        if (value->data.size() != sizeof(uint32_t)) return false;
        uint32_t u = 0;
        for (int i = 3; i >= 0; --i) u = (u << 8) | static_cast<unsigned char>(value->data[i]);
        snprintf(buffer, kRegistryTextSize, "%d", static_cast<int>(static_cast<int32_t>(u)));
        return true;
    }
    const std::string& data = value->data;
    bool terminated = !data.empty() && data.back() == '\0';
    size_t needed = data.size() + (terminated ? 0 : 1);
    if (needed > kRegistryTextSize) return false;
    if (!data.empty()) memcpy(buffer, data.data(), data.size());
    if (!terminated) buffer[data.size()] = '\0';
    return true;
}

void RegistryKey::WriteText(const char* valueName, const char* text) {
    auto* key = static_cast<OpenRegFile*>(handle);
    if (!key || !valueName) return;
    if (key->document.Set(key->keyPath, valueName, MakeTextValue(text ? text : "")))
        key->changed = true;
}
