/* The table a companion shared object exports: every resource as its type
   name, its numeric id and its bytes, and the lookup of one entry. The
   library's generated sources define it; the saver's loader
   (posix_resources.cpp) reads it after dlopen(), and the saver's own table
   (own_resources.cpp) the same way. */
#ifndef CHRONOVALE_RESOURCE_TABLE_H
#define CHRONOVALE_RESOURCE_TABLE_H

#include <stddef.h>
#include <stdint.h>
#include <strings.h>

#define CHRONOVALE_RESOURCE_TABLE_SYMBOL "chronovale_resource_table"
/* Raised whenever the layout below changes, so an old library counts as
   missing instead of being misread. */
#define CHRONOVALE_RESOURCE_TABLE_VERSION 1u

#ifdef __cplusplus
extern "C" {
#endif

struct ChronovaleResource {
    const char* type; /* "JPG", the page definitions' type, ... */
    int32_t id;
    const unsigned char* data;
    size_t size;
};

struct ChronovaleResourceTable {
    uint32_t version;
    uint32_t count;
    const struct ChronovaleResource* entries; /* count of them; NULL when 0 */
};

/* The entry (type, id) of table, or NULL. Type names compare without regard
   to case, as on Windows. */
static inline const struct ChronovaleResource* chronovale_find_resource(
    const struct ChronovaleResourceTable* table, const char* type, int32_t id) {
    if (!table || !type) return NULL;
    for (uint32_t i = 0; i < table->count; ++i) {
        const struct ChronovaleResource* entry = &table->entries[i];
        if (entry->id == id && entry->type && strcasecmp(entry->type, type) == 0) return entry;
    }
    return NULL;
}

#ifdef __cplusplus
}
#endif

#endif
