// The measuring points are declared once for both backends in
// platform/probe.h; this name stays only for wgl_view.cpp's include.
#pragma once

#include "platform/probe.h"
