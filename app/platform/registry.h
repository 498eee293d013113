// The per-user settings key with typed values, as the setting objects use it.
// Windows keeps it in the registry under HKEY_CURRENT_USER; Linux in a
// registry-format text file. Both keep the value types, so the setting
// objects' fallback rules read the same on either platform. Errors are
// silent: a failed open leaves the key closed, reads then fail and writes do
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr size_t kRegistryTextSize = 500;

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Creates the key below the current user's root when missing, then opens it.
    void Open(const char* keyPath);
    void Close();
    bool IsOpen() const { return handle != nullptr; }

    // True only when the value exists and is a REG_DWORD or REG_BINARY
    // (its first four bytes, little-endian).
    bool ReadNumber(const char* valueName, int32_t* number);
    void WriteNumber(const char* valueName, int32_t number);

    // Reads at most kRegistryTextSize bytes including the terminator into
    // buffer (which holds kRegistryTextSize bytes) and terminates it. True for
    // any type that fits; a REG_DWORD becomes its signed decimal text.
    bool ReadText(const char* valueName, char* buffer);
    void WriteText(const char* valueName, const char* text);

private:
    void* handle = nullptr;  // the backend's open key
};
