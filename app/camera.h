// The camera: its projection and view applied once per frame, and the moving
// viewpoint that lets the eye drift at random sideways and up and down. Both
// live in the scene record (scene.h); scene set-up (app.cpp) places the
// camera, the frame drawing applies it.
#pragma once

#include "frameinfo.h"
#include "vector3.h"
#include "wanderer.h"

class CCamera {
public:
    double fieldOfView = 120.0;  // degrees; divided by the aspect ratio for the vertical one
    double nearClip = 0.01;
    double farClip = 320000.0;
    CVector3 eye{0.0, 0.0, 0.0};
    CVector3 centre{0.0, 0.0, -1000.0};
    CVector3 up{0.0, 1.0, 0.0};
    double aspect = 4.0 / 3.0;  // of the view last applied that had an area
};

struct PerspectiveArguments {
    double fovy;
    double aspect;
    double zNear;
    double zFar;
};

// The gluPerspective arguments for a view of width x height pixels. A view
// with no area keeps the camera's last aspect ratio, so the projection never
// divides by zero.
PerspectiveArguments CameraPerspective(const CCamera& camera, int viewWidth, int viewHeight);

// Projection and modelview for the 3D pass of the frame's view; enables depth
// testing and remembers the aspect ratio it used.
void ApplyCamera(CCamera& camera, const FrameInfo& frame);

// The drifting eye; started at its first call.
struct MovingViewpointState {
    CWanderer horizontal;
    CWanderer vertical;
    bool horizontalConstructed = false;
    bool verticalConstructed = false;
};

// Steps the scene's two wanderers by dt and puts its camera's eye at
// (horizontal, vertical, 0).
void UpdateMovingViewpoint(double dt);
