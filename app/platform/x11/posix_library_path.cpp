// Where the companion library lies on Linux: beside the saver, its name the
// program's with the extension (if any) replaced by ".so". Kept apart from
// the loader, which needs nothing of the core.
#include "main.h"
#include "platform/resources.h"

bool CompanionLibraryPath(const char* programPath, char* buffer, size_t size) {
    return ReplaceExtensionWithSo(programPath, buffer, size);
}
