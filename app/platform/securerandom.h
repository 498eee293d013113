// Unpredictable bytes from the operating system's cryptographic generator:
// BCryptGenRandom on Windows, getrandom on Linux.
#pragma once

#include <cstddef>

// Fills buffer with size bytes; false when the generator cannot be used
// without waiting, and the buffer must then not be relied on.
bool FillSecureRandom(void* buffer, size_t size);
