// Scene set-up, per-frame update and frame drawing. The flying clock fills
// these in; until then every frame clears the view to black.
#include "app.h"

#include "platform/opengl.h"
#include "settings_catalogue.h"

void SceneStartup() {
    // LowDetail is kept for display only: locking it disables its check box
    // and keeps restore-defaults away from it.
    LowDetail.Lock();
}

void SetUpScene() {}

void UpdateScene() {}

void ShutDownScene() {}

void RenderScene() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}
