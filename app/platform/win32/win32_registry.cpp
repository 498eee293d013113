// The settings key in the registry under HKEY_CURRENT_USER. Every error is
// silent: a key that cannot be opened stays closed, reads then fail and
// writes do nothing. How the bytes read become a number or a text is decided
// in win32_rules.cpp.
#include "platform/registry.h"

#include <cstring>

#include "win32_rules.h"

namespace {
HKEY KeyOf(void* handle) { return static_cast<HKEY>(handle); }
}  // namespace

void RegistryKey::Open(const char* keyPath) {
    Close();
    HKEY key = nullptr;
    // The result code tells nothing the handle does not: on failure it stays null.
    if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, const_cast<char*>(""), 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        key = nullptr;
    handle = key;
}

void RegistryKey::Close() {
    if (handle) RegCloseKey(KeyOf(handle));
    handle = nullptr;
}

bool RegistryKey::ReadNumber(const char* valueName, int32_t* number) {
    if (!handle) return false;
    unsigned char data[sizeof(int32_t)];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    if (RegQueryValueExA(KeyOf(handle), valueName, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    return RegistryDataToNumber(type, data, size, number);
}

void RegistryKey::WriteNumber(const char* valueName, int32_t number) {
    if (!handle) return;
    DWORD data = static_cast<DWORD>(number);
    RegSetValueExA(KeyOf(handle), valueName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                   sizeof data);
}

bool RegistryKey::ReadText(const char* valueName, char* buffer) {
    if (!handle) return false;
    unsigned char data[kRegistryTextSize];
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    // A value that needs more than the buffer fails here with ERROR_MORE_DATA.
    if (RegQueryValueExA(KeyOf(handle), valueName, nullptr, &type, data, &size) != ERROR_SUCCESS)
        return false;
    char text[kRegistryTextSize];
    if (!RegistryDataToText(type, data, size, text)) return false;
    memcpy(buffer, text, strlen(text) + 1);
    return true;
}

void RegistryKey::WriteText(const char* valueName, const char* text) {
    if (!handle) return;
    RegSetValueExA(KeyOf(handle), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(strlen(text) + 1));
}
