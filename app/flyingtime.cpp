// The scene object list. It is empty until the flying clock adds objects.
#include "flyingtime.h"

void UpdateSceneObjects() {}

void DestroySceneObjects() {}
