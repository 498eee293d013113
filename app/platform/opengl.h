// OpenGL 1.1 and GLU for the core. The build puts the chosen backend's gl/
// folder, and no other part of the backend, on the core's include path; its
// gl_headers.h includes what that platform's GL headers need first (windows.h
// on Windows).
#pragma once

#include "gl_headers.h"
