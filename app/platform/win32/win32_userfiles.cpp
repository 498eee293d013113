// Files for the user on Windows: exclusive creation with CREATE_NEW, and the
// Pictures known folder in the ANSI code page.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstring>

#include "platform/userfiles.h"

FILE* CreateNewFile(const char* path, NewFileResult* result) {
    HANDLE handle = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        *result = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS
                      ? NewFileResult::NameTaken
                      : NewFileResult::FolderRefused;
        return nullptr;
    }
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        DeleteFileA(path);
        *result = NewFileResult::FolderRefused;
        return nullptr;
    }
    FILE* file = _fdopen(fd, "wb");
    if (!file) {
        _close(fd);
        DeleteFileA(path);
        *result = NewFileResult::FolderRefused;
        return nullptr;
    }
    *result = NewFileResult::Created;
    return file;
}

bool GetPicturesFolder(char* buffer, size_t size) {
    PWSTR wide = nullptr;
    if (FAILED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &wide))) {
        CoTaskMemFree(wide);
        return false;
    }
    // A folder name the ANSI code page cannot spell is no folder for us.
    BOOL lossy = FALSE;
    int length = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, buffer,
                                     static_cast<int>(size), nullptr, &lossy);
    CoTaskMemFree(wide);
    if (length <= 0 || lossy) return false;
    size_t used = strlen(buffer);
    if (used == 0) return false;
    if (buffer[used - 1] != '\\') {
        if (used + 2 > size) return false;
        buffer[used] = '\\';
        buffer[used + 1] = '\0';
    }
    return true;
}
