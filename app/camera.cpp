// The camera's projection and view, and the moving viewpoint. The wanderers
// draw their random numbers in a fixed order (horizontal start and step, then
// vertical start and step), so a seeded run drifts the same way every time.
#include "camera.h"

#include "platform/opengl.h"
#include "scene.h"
#include "settings_catalogue.h"

namespace {
struct WandererStart {
    double min, max, speed, flipTime;
};
constexpr WandererStart kHorizontalDrift = {-0.9, 0.9, 0.05, 20};
// With trails the text is watched from higher up, so the trails fan out
// below it rather than running into the lettering.
constexpr WandererStart kVerticalDriftBlending = {0.7, 1.4, 0.05, 30};
constexpr WandererStart kVerticalDrift = {0.35, 1.15, 0.05, 30};

void Start(CWanderer& wanderer, const WandererStart& start) {
    wanderer.Start(start.min, start.max, start.speed, start.flipTime);
}
}  // namespace

PerspectiveArguments CameraPerspective(const CCamera& cam, int viewWidth, int viewHeight) {
    double aspect = cam.aspect;
    if (viewWidth > 0 && viewHeight > 0) aspect = static_cast<double>(viewWidth) / viewHeight;
    return {cam.fieldOfView / aspect, aspect, cam.nearClip, cam.farClip};
}

void ApplyCamera(CCamera& cam, const FrameInfo& frame) {
    PerspectiveArguments p = CameraPerspective(cam, frame.view.width, frame.view.height);
    cam.aspect = p.aspect;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(p.fovy, p.aspect, p.zNear, p.zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(cam.eye.x, cam.eye.y, cam.eye.z, cam.centre.x, cam.centre.y, cam.centre.z, cam.up.x,
              cam.up.y, cam.up.z);
    glEnable(GL_DEPTH_TEST);
}

void UpdateMovingViewpoint(double dt) {
    MovingViewpointState& v = scene.movingViewpoint;
    if (!v.horizontalConstructed) {
        Start(v.horizontal, kHorizontalDrift);
        v.horizontalConstructed = true;
    }
    v.horizontal.Step(dt);
    if (!v.verticalConstructed) {
        v.vertical.Reset();
        v.verticalConstructed = true;
    }
    // The range is chosen once, at the first frame.
    if (!v.vertical.active) Start(v.vertical, FrameBlending.IsOn() ? kVerticalDriftBlending : kVerticalDrift);
    v.vertical.Step(dt);
    scene.camera.eye.Assign(v.horizontal.value, v.vertical.value, 0.0);
}
