// Looks up the saver's own resources in the table the build compiles into
// the program (chronovale_embed_resources in resources/linux).
#include "own_resources.h"

#include "resource_table.h"

extern "C" const struct ChronovaleResourceTable chronovale_own_resources;

bool FindOwnResourceBytes(const char* type, int id, const unsigned char** data, size_t* size) {
    const ChronovaleResource* entry = chronovale_find_resource(&chronovale_own_resources, type, id);
    if (!entry) return false;
    *data = entry->data;
    *size = entry->size;
    return true;
}
