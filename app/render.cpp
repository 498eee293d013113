// RenderScene and the trail buffer. All OpenGL state the blending pass needs
// is set here before it draws, and lighting, texturing and the texture
// environment are put back as the 3D pass and the overlay expect them.
#include "render.h"

#include "app.h"
#include "camera.h"
#include "flyingtime.h"
#include "mathutil.h"
#include "overlay.h"
#include "platform/opengl.h"
#include "scene.h"
#include "settings_catalogue.h"

RenderObservers renderObservers = {nullptr, nullptr};

double TrailAlpha(double frameDelta) {
    double alpha = frameDelta * (1.0 / kTrailTimeConstant);
    Clamp(alpha, kTrailAlphaMin, kTrailAlphaMax);
    return alpha;
}

int TrailTextureExtent(int extent) {
    int size = 1;
    while (size < extent && size < (1 << 30)) size <<= 1;
    return size;
}

void ReleaseTrailBuffer() {
    if (scene.trailBuffer.texture != 0) {
        GLuint name = scene.trailBuffer.texture;
        glDeleteTextures(1, &name);
    }
    scene.trailBuffer = TrailBuffer();
}

void SetUpTrailBuffer(ViewSize view) {
    ReleaseTrailBuffer();
    if (!FrameBlending.IsOn() || !DoubleBuffering.IsOn()) return;
    int width = view.width;
    int height = view.height;
    if (width <= 0 || height <= 0) return;

    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    int texWidth = TrailTextureExtent(width);
    int texHeight = TrailTextureExtent(height);
    // A view larger than the driver's textures keeps only what the buffer
    // itself keeps after a swap.
    if (texWidth > maxSize || texHeight > maxSize) return;

    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0) return;
    glBindTexture(GL_TEXTURE_2D, name);
    // Nearest filtering and texel-exact coordinates copy the picture back
    // pixel for pixel.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, texWidth, texHeight, 0, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);

    scene.trailBuffer.texture = name;
    scene.trailBuffer.textureWidth = texWidth;
    scene.trailBuffer.textureHeight = texHeight;
    scene.trailBuffer.viewWidth = width;
    scene.trailBuffer.viewHeight = height;
}

namespace {
// The kept picture over the whole view, replacing whatever the back buffer
// holds. Runs inside the blending pass: identity modelview, unit ortho
// projection, depth test, lighting and blending off.
void DrawKeptPicture() {
    const TrailBuffer& t = scene.trailBuffer;
    double s = static_cast<double>(t.viewWidth) / t.textureWidth;
    double u = static_cast<double>(t.viewHeight) / t.textureHeight;
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, t.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2d(0.0, 0.0);
    glTexCoord2d(s, 0.0);
    glVertex2d(1.0, 0.0);
    glTexCoord2d(s, u);
    glVertex2d(1.0, 1.0);
    glTexCoord2d(0.0, u);
    glVertex2d(0.0, 1.0);
    glEnd();
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glDisable(GL_TEXTURE_2D);
}

void KeepPicture() {
    const TrailBuffer& t = scene.trailBuffer;
    glReadBuffer(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, t.texture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, t.viewWidth, t.viewHeight);
    glBindTexture(GL_TEXTURE_2D, 0);
    scene.trailBuffer.holdsPicture = true;
}

// The previous picture, darkened by a translucent black rectangle.
void DarkenPreviousPicture(double frameDelta) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, 1.0, 0.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    bool lightingWasOn = glIsEnabled(GL_LIGHTING) == GL_TRUE;
    glDisable(GL_LIGHTING);

    if (scene.trailBuffer.texture != 0) {
        if (scene.trailBuffer.holdsPicture) {
            glDisable(GL_BLEND);
            DrawKeptPicture();
        } else {
            // Just resized: nothing kept yet, and the buffer's content is
            // undefined, so start again from black.
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4d(0.0, 0.0, 0.0, TrailAlpha(frameDelta));
    glRectd(0.0, 0.0, 1.0, 1.0);

    if (lightingWasOn) glEnable(GL_LIGHTING);
}
}  // namespace

void RenderScene(const FrameInfo& frame) {
    if (renderObservers.frameStarting) renderObservers.frameStarting();
    glClear(GL_DEPTH_BUFFER_BIT);
    // The first frames start from black, so the trails do too.
    if (FrameBlending.IsOn() && frame.frameCount > kFramesClearedAtStart) {
        DarkenPreviousPicture(frame.frameDelta);
    } else {
        glClear(GL_COLOR_BUFFER_BIT);
    }
    ApplyCamera(scene.camera, frame);
    DrawSceneObjects();
    DrawOverlayLayer(frame);
    // The finished picture, as it will be shown, is the next frame's
    // previous picture.
    if (scene.trailBuffer.texture != 0) KeepPicture();
    if (renderObservers.frameFinished) renderObservers.frameFinished();
}
