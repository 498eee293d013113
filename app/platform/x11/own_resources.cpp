// Looks up the saver's own resources in the table the build compiles into
// the program (chronovale_embed_resources in resources/linux).
#include "own_resources.h"

#include <strings.h>

#include "resource_table.h"

extern "C" const struct ChronovaleResourceTable chronovale_own_resources;

bool FindOwnResourceBytes(const char* type, int id, const unsigned char** data, size_t* size) {
    if (!type) return false;
    const ChronovaleResourceTable& table = chronovale_own_resources;
    for (uint32_t i = 0; i < table.count; ++i) {
        const ChronovaleResource& entry = table.entries[i];
        if (entry.id == id && entry.type && strcasecmp(entry.type, type) == 0) {
            *data = entry.data;
            *size = entry.size;
            return true;
        }
    }
    return false;
}
