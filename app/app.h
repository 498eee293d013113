// The scene's entry points, called by the saver shell: the start-up hook,
// set-up once the OpenGL context exists, the per-frame update, shutdown, and
// the drawing of one frame.
#pragma once

#include "frameinfo.h"

void SceneStartup();                       // last step of start-up, also in configuration mode
void SetUpScene(const FrameInfo& frame);   // on the OpenGL window's size event
void UpdateScene(const FrameInfo& frame);  // once per frame, after the scene objects moved
void ShutDownScene();                      // at teardown, after the objects and fonts are gone
void RenderScene(const FrameInfo& frame);  // draws one frame
