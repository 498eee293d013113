// The overlay text layer drawn over the scene: its bitmap font is built from
// a picture of the companion library on every size event.
#pragma once

#include "platform/types.h"

void BuildOverlayFont(NativeModule library, int pictureId, int advance);
void DeleteOverlayFont();

// Draws the overlay elements over the finished scene.
void DrawOverlayLayer();
