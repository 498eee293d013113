// Files for the user on Linux: exclusive creation with O_EXCL, and the
// pictures folder: XDG_PICTURES_DIR from the environment or from the user's
// user-dirs.dirs, and the home folder when neither names a folder.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/userfiles.h"

namespace {
constexpr mode_t kNewFileMode = 0666;  // narrowed by the user's umask

constexpr char kPicturesKey[] = "XDG_PICTURES_DIR";
constexpr char kHomeVariable[] = "$HOME";
constexpr size_t kUserDirsLineSize = 4096;

bool IsFolder(const char* path) {
    struct stat info;
    return path && *path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

// XDG_PICTURES_DIR="..." from user-dirs.dirs in the user's configuration
// folder: a quoted path that is absolute or starts with $HOME, with
// backslash escapes; the last such line counts. Empty when there is none.
std::string PicturesFolderFromUserDirs() {
    const char* home = getenv("HOME");
    const char* config = getenv("XDG_CONFIG_HOME");
    std::string list;
    if (config && config[0] == '/') {
        list = config;
    } else if (home && *home) {
        list = std::string(home) + "/.config";
    } else {
        return "";
    }
    FILE* file = fopen((list + "/user-dirs.dirs").c_str(), "re");
    if (!file) return "";
    std::string found;
    char line[kUserDirsLineSize];
    while (fgets(line, sizeof line, file)) {
        const char* p = SkipBlanks(line);
        if (strncmp(p, kPicturesKey, sizeof kPicturesKey - 1) != 0) continue;
        p = SkipBlanks(p + sizeof kPicturesKey - 1);
        if (*p != '=') continue;
        p = SkipBlanks(p + 1);
        if (*p++ != '"') continue;
        std::string value;
        if (strncmp(p, kHomeVariable, sizeof kHomeVariable - 1) == 0) {
            p += sizeof kHomeVariable - 1;
            if ((*p != '/' && *p != '"') || !home) continue;
            value = home;
        } else if (*p != '/') {
            continue;
        }
        for (; *p && *p != '"'; ++p) {
            if (*p == '\\' && p[1]) ++p;
            value += *p;
        }
        if (*p == '"') found = value;
    }
    fclose(file);
    return found;
}
}  // namespace

FILE* CreateNewFile(const char* path, NewFileResult* result) {
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd < 0) {
        *result = errno == EEXIST ? NewFileResult::NameTaken : NewFileResult::FolderRefused;
        return nullptr;
    }
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(path);
        *result = NewFileResult::FolderRefused;
        return nullptr;
    }
    *result = NewFileResult::Created;
    return file;
}

bool GetPicturesFolder(char* buffer, size_t size) {
    const char* folder = getenv(kPicturesKey);
    std::string listed;
    if (!IsFolder(folder)) {
        listed = PicturesFolderFromUserDirs();
        folder = listed.c_str();
    }
    if (!IsFolder(folder)) folder = getenv("HOME");
    if (!IsFolder(folder)) return false;
    size_t length = strlen(folder);
    while (length > 1 && folder[length - 1] == '/') --length;
    if (length + 2 > size) return false;
    memcpy(buffer, folder, length);
    buffer[length] = '/';
    buffer[length + 1] = '\0';
    return true;
}
