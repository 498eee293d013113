// The companion resource library on Windows: a resource-only DLL beside the
// saver, loaded by full path with LoadLibraryA; its resources are read with
// FindResourceA and stay mapped while the library is loaded.
#include "platform/resources.h"

#include "main.h"
#include <windows.h>

bool CompanionLibraryPath(const char* programPath, char* buffer, size_t size) {
    return ScrPathToDllPath(programPath, buffer, size);
}

NativeModule LoadResourceLibrary(const char* path) { return LoadLibraryA(path); }

void FreeResourceLibrary(NativeModule library) { FreeLibrary(static_cast<HMODULE>(library)); }

bool FindResourceBytes(NativeModule library, const char* type, int id,
                       const unsigned char** data, size_t* size) {
    HMODULE module = static_cast<HMODULE>(library);
    if (!module) return false;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    DWORD length = SizeofResource(module, found);
    if (!bytes || length == 0) return false;
    *data = static_cast<const unsigned char*>(bytes);
    *size = length;
    return true;
}
