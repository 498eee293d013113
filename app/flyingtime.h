// The scene object list: every object moves by the frame's time step, and
// objects past the viewer's plane are deleted. The list owns its objects.
#pragma once

void UpdateSceneObjects();
void DestroySceneObjects();
