/* The table a companion shared object exports: every resource as its type
   name, its numeric id and its bytes. The library's generated sources define
   it; the saver's loader (posix_resources.cpp) reads it after dlopen(). */
#ifndef CHRONOVALE_RESOURCE_TABLE_H
#define CHRONOVALE_RESOURCE_TABLE_H

#include <stddef.h>
#include <stdint.h>

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

#ifdef __cplusplus
}
#endif

#endif
