// OpenGL and GLU headers on Linux.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
