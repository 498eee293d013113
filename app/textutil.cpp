// Fixed-size text fields (see textutil.h).
#include "textutil.h"

#include <cstring>

void CopyText(char* field, size_t fieldSize, const char* src) {
    if (fieldSize == 0) return;
    size_t length = src ? strnlen(src, fieldSize - 1) : 0;
    if (length > 0) memcpy(field, src, length);
    field[length] = '\0';
}
