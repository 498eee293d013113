// Files for the user on Linux: exclusive creation with O_EXCL, and the
// pictures folder: XDG_PICTURES_DIR from the environment or from the user's
// user-dirs.dirs, and the home folder when neither names a folder.
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/userfiles.h"

namespace {
constexpr mode_t kNewFileMode = 0666;  // narrowed by the user's umask

bool IsFolder(const char* path) {
    struct stat info;
    return path && *path && stat(path, &info) == 0 && S_ISDIR(info.st_mode);
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
    const char* folder = getenv("XDG_PICTURES_DIR");
    if (!IsFolder(folder)) folder = g_get_user_special_dir(G_USER_DIRECTORY_PICTURES);
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
