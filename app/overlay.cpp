// The overlay layer. It draws nothing until its bitmap font and elements
// are added.
#include "overlay.h"

void BuildOverlayFont(NativeModule, int, int) {}

void DeleteOverlayFont() {}

void DrawOverlayLayer() {}
