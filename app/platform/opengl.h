// OpenGL 1.1 and GLU for the core. The build puts the chosen backend folder
// on the include path, and its gl_headers.h includes what that platform's GL
// headers need first (windows.h on Windows).
#pragma once

#include "gl_headers.h"
