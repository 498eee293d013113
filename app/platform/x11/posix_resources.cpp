// The companion resource library on Linux: a shared object beside the saver,
// loaded with dlopen, whose exported table (resource_table.h) lists every
// resource by type and id. What the library holds is decided by its build;
// where it lies is posix_library_path.cpp's.
#include <dlfcn.h>

#include <cstring>
#include <new>

#include "platform/resources.h"
#include "resource_table.h"

namespace {
struct LoadedLibrary {
    void* handle;
    const ChronovaleResourceTable* table;
};

bool IsUsableTable(const ChronovaleResourceTable* table) {
    return table && table->version == CHRONOVALE_RESOURCE_TABLE_VERSION &&
           (table->count == 0 || table->entries != nullptr);
}
}  // namespace

NativeModule LoadResourceLibrary(const char* path) {
    // Only a path: a bare name would make dlopen search the system's library
    // folders instead of the saver's own.
    if (!path || !strchr(path, '/')) return nullptr;
    void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return nullptr;
    auto* table = static_cast<const ChronovaleResourceTable*>(
        dlsym(handle, CHRONOVALE_RESOURCE_TABLE_SYMBOL));
    // A shared object without the table is not the companion library.
    if (!IsUsableTable(table)) {
        dlclose(handle);
        return nullptr;
    }
    auto* library = new (std::nothrow) LoadedLibrary{handle, table};
    if (!library) dlclose(handle);
    return library;
}

void FreeResourceLibrary(NativeModule library) {
    auto* loaded = static_cast<LoadedLibrary*>(library);
    if (!loaded) return;
    dlclose(loaded->handle);
    delete loaded;
}

bool FindResourceBytes(NativeModule library, const char* type, int id,
                       const unsigned char** data, size_t* size) {
    auto* loaded = static_cast<LoadedLibrary*>(library);
    if (!loaded) return false;
    const ChronovaleResource* entry = chronovale_find_resource(loaded->table, type, id);
    if (!entry) return false;
    *data = entry->data;
    *size = entry->size;
    return true;
}
