// The companion resource library beside the saver: loading it by full path,
// finding a resource in it by type and id, and unloading it. Windows loads a
// resource-only DLL; Linux dlopen()s a shared object exporting a table of
// (type, id, bytes).
#pragma once

#include <cstddef>

#include "types.h"

// The library path for a given program path, by the platform's naming rule;
// false when the program path gives none (the library then counts as missing).
bool CompanionLibraryPath(const char* programPath, char* buffer, size_t size);

NativeModule LoadResourceLibrary(const char* path);  // nullptr when it cannot be loaded
void FreeResourceLibrary(NativeModule library);

// The bytes of resource (type, id); false when there is none. The bytes stay
// valid while the library is loaded.
bool FindResourceBytes(NativeModule library, const char* type, int id,
                       const unsigned char** data, size_t* size);
