// Fixed-size text fields: copying into one safely. The settings, the scene's
// labels and the overlay all keep their texts in such fields.
#pragma once

#include <cstddef>

// Copies src into a field of fieldSize bytes, cutting it to fit and always
// terminating it; a null src gives an empty text.
void CopyText(char* field, size_t fieldSize, const char* src);
