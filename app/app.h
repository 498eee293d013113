// The scene's entry points, called by the saver shell: the start-up hook,
// set-up once the OpenGL context exists, the per-frame update, shutdown, and
// the drawing of one frame.
#pragma once

void SceneStartup();   // last step of start-up, also in configuration mode
void SetUpScene();     // on the OpenGL window's size event
void UpdateScene();    // once per frame, after the scene objects moved
void ShutDownScene();  // at teardown, after the objects and fonts are gone
void RenderScene();    // draws one frame
