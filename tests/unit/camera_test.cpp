// The camera's projection arguments by view shape and the moving
// viewpoint's ranges.
#include <gtest/gtest.h>

#include "camera.h"
#include "crtrand.h"
#include "glview.h"
#include "scene_support.h"
#include "settings_catalogue.h"

namespace {
class CameraTest : public scenetest::SceneTest {};
}  // namespace

TEST_F(CameraTest, vertical_field_of_view_is_120_degrees_over_the_aspect) {
    CCamera cam;
    PerspectiveArguments p = CameraPerspective(cam, 1024, 768);
    EXPECT_DOUBLE_EQ(p.fovy, 90.0);
    EXPECT_DOUBLE_EQ(p.aspect, 1024.0 / 768);
    EXPECT_EQ(p.zNear, 0.01);
    EXPECT_EQ(p.zFar, 320000.0);
    p = CameraPerspective(cam, 1280, 1024);
    EXPECT_DOUBLE_EQ(p.fovy, 96.0);
    EXPECT_DOUBLE_EQ(p.aspect, 1.25);
    p = CameraPerspective(cam, 1920, 1080);
    EXPECT_DOUBLE_EQ(p.fovy, 67.5);

    // A view without area keeps the aspect last applied.
    cam.aspect = 1.6;
    p = CameraPerspective(cam, 800, 0);
    EXPECT_DOUBLE_EQ(p.aspect, 1.6);
    EXPECT_DOUBLE_EQ(p.fovy, 75.0);
    GlViewOnSize(1280, 1024);
    ApplyCamera(scene.camera, CurrentFrameInfo());
    EXPECT_DOUBLE_EQ(scene.camera.aspect, 1.25);
    GlViewOnSize(1280, 0);
    ApplyCamera(scene.camera, CurrentFrameInfo());
    EXPECT_DOUBLE_EQ(scene.camera.aspect, 1.25);
}

TEST_F(CameraTest, drifting_eye_stays_in_its_range_which_trails_raise) {
    for (int blending : {0, 1}) {
        ResetSceneState();
        FrameBlending.Set(blending);
        SeedRandom(blending + 11);
        double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
        for (int i = 0; i < 40000; ++i) {  // over half an hour in 0.05 s steps
            UpdateMovingViewpoint(0.05);
            minX = std::min(minX, scene.camera.eye.x);
            maxX = std::max(maxX, scene.camera.eye.x);
            minY = std::min(minY, scene.camera.eye.y);
            maxY = std::max(maxY, scene.camera.eye.y);
            ASSERT_EQ(scene.camera.eye.z, 0.0);
        }
        double low = blending ? 0.7 : 0.35, high = blending ? 1.4 : 1.15;
        EXPECT_GE(minX, -0.9);
        EXPECT_LE(maxX, 0.9);
        EXPECT_GE(minY, low);
        EXPECT_LE(maxY, high);
        // It does travel: most of the range is visited.
        EXPECT_GT(maxX - minX, 0.9);
        EXPECT_GT(maxY - minY, 0.4 * (high - low));

        // The range was chosen at the first call; a later switch changes nothing.
        FrameBlending.Set(1 - blending);
        UpdateMovingViewpoint(0.05);
        EXPECT_EQ(scene.movingViewpoint.vertical.min, low);

        CVector3 eye = scene.camera.eye;
        UpdateMovingViewpoint(0.0);
        EXPECT_EQ(scene.camera.eye.x, eye.x);
        EXPECT_EQ(scene.camera.eye.y, eye.y);
    }
}
