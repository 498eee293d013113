// The resources the Linux saver carries inside itself, as the Windows saver
// carries its own: the Custom Controls page definition and the Introduction
// page's picture. The build embeds them as a hidden table (resource_table.h).
#pragma once

#include <cstddef>

#define CHRONOVALE_RESOURCE_TYPE_BITMAP "BITMAP"
#define IDB_ABOUT_PICTURE 104
#define IDD_CUSTOM_CONTROLS_PAGE 105

// The bytes of the saver's own resource (type, id); false when there is none.
bool FindOwnResourceBytes(const char* type, int id, const unsigned char** data, size_t* size);
