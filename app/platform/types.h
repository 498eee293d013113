// Handle types shared by the platform services. A native window is an HWND on
// Windows and an X11 Window id on Linux; a module is an HMODULE or a dlopen()
// handle. The core only passes them along.
#pragma once

#include <cstdint>

using NativeWindow = uintptr_t;
using NativeModule = void*;
