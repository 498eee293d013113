// Frame clock, frame step, OpenGL state set-up and teardown of the OpenGL
// window. Everything here runs on the user-interface thread.
#include "glview.h"

#include "app.h"
#include "clock.h"
#include "flyingtime.h"
#include "framepacing.h"
#include "main.h"
#include "music.h"
#include "platform/opengl.h"
#include "overlay.h"
#include "platform/glcontext.h"
#include "platform/power.h"
#include "platform/resources.h"
#include "platform/saverhost.h"
#include "saverwindow.h"
#include "screenshot.h"
#include "settings_catalogue.h"

DisplayState displayState;
FrameClock frameClock;
FrameStepState frameStep;
PowerSavingState powerSavingState;

namespace {
constexpr double kBannerFadeOutRate = -0.1;
constexpr double kMouseGraceSeconds = 1.0;
constexpr int kOverlayFontPicture = 142;
constexpr int kOverlayFontAdvance = 8;
}  // namespace

void InitFrameClock() {
    Clock& clock = ActiveClock();
    frameClock = FrameClock();
    frameClock.frequency = clock.PerformanceFrequency();
    int64_t now = clock.PerformanceCounter();
    frameClock.startCount = now;
    frameClock.prevCount = now;
    frameClock.secondMarkCount = now;
    frameClock.fiveSecondMarkCount = now;
}

void TickFrameClock() {
    FrameClock& c = frameClock;
    ++c.frameCount;
    ++c.framesInSecondWindow;
    ++c.framesInFiveSecondWindow;

    int64_t now = ActiveClock().PerformanceCounter();
    double frequency = static_cast<double>(c.frequency);
    c.frameDelta = static_cast<double>(now - c.prevCount) / frequency;
    c.prevCount = now;
    c.elapsed = static_cast<double>(now - c.startCount) / frequency;
    if (c.elapsed > 0) c.averageFps = c.frameCount / c.elapsed;

    double secondWindow = static_cast<double>(now - c.secondMarkCount) / frequency;
    if (secondWindow >= 1.0) {
        c.fps = c.framesInSecondWindow / secondWindow;
        c.framesInSecondWindow = 0;
        c.secondMarkCount = now;
    }
    double fiveSecondWindow = static_cast<double>(now - c.fiveSecondMarkCount) / frequency;
    if (fiveSecondWindow >= 5.0) {
        c.fps5 = c.framesInFiveSecondWindow / fiveSecondWindow;
        c.framesInFiveSecondWindow = 0;
        c.fiveSecondMarkCount = now;
    }
}

FrameInfo CurrentFrameInfo() {
    FrameInfo frame;
    frame.frameDelta = frameClock.frameDelta;
    frame.elapsed = frameClock.elapsed;
    frame.averageFps = frameClock.averageFps;
    frame.fps = frameClock.fps;
    frame.fps5 = frameClock.fps5;
    frame.frameCount = frameClock.frameCount;
    frame.view = {displayState.viewWidth, displayState.viewHeight};
    frame.colorDepth = displayState.colorDepth;
    frame.hardwareAccelerated = displayState.hardwareAccelerated;
    frame.previewMode = saverState.previewMode;
    frame.bannerFade = frameStep.bannerFade;
    return frame;
}

void RunFrameStep() {
    FrameStepState& f = frameStep;
    f.bannerFade += frameClock.frameDelta * f.bannerFadeRate;
    if (f.bannerFade >= 1.0) f.bannerFadeRate = kBannerFadeOutRate;
    if (f.bannerFade > 1.0) f.bannerFade = 1.0;
    if (f.bannerFade < 0.0) f.bannerFade = 0.0;

    UpdateSceneObjects(frameClock.frameDelta);

    int closeAfter = BCS.Get();
    if (f.autoCloseArmed && closeAfter > 0 && closeAfter <= frameClock.elapsed) {
        f.autoCloseArmed = false;
        PostCloseToSaverWindow();
    }

    UpdateScene(CurrentFrameInfo());
}

void GlViewOnCreate(bool hardwareAccelerated) {
    displayState.hardwareAccelerated = hardwareAccelerated;
    InitFrameClock();
    StartFramePacing(VsyncEnabled.IsOn(), DisplayRefreshRateHz());
    StartOverlayClock();
    if (!PermitMonitorPowerSaving.IsOn()) {
        powerSavingState.powerOffWasActive = MonitorPowerOffActive();
        if (powerSavingState.powerOffWasActive) SetMonitorPowerOffActive(false);
        powerSavingState.lowPowerWasActive = MonitorLowPowerActive();
        if (powerSavingState.lowPowerWasActive) SetMonitorLowPowerActive(false);
    }
}

void InitGlState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_CULL_FACE);
    BuildOverlayFont(resourceLibrary, kOverlayFontPicture, kOverlayFontAdvance);
    if (!VsyncEnabled.IsOn()) SwitchOffSwapWait();
    SetUpScene(CurrentFrameInfo());
}

void GlViewOnSize(int width, int height) {
    displayState.viewWidth = width;
    displayState.viewHeight = height;
    glViewport(0, 0, width, height);
    InitGlState();
}

void GlViewOnPaint() {
    TickFrameClock();
    NoteFrameStart();
    RunFrameStep();
    RenderScene(CurrentFrameInfo());
    // A screenshot reads the picture just drawn, before the swap leaves the
    // back buffer undefined.
    WritePendingScreenshot(displayState.viewWidth, displayState.viewHeight);
}

bool GlViewIgnoresMouseMove() { return frameClock.elapsed < kMouseGraceSeconds; }

void GlViewOnDestroy() {
    DestroySceneObjects();
    DeleteOverlayFont();
    ShutDownScene();
    CloseMusicIfStarted();
    RestoreDisplayMode();
    ReleaseGlContext();
    PostQuit(0);
    if (!PermitMonitorPowerSaving.IsOn()) {
        if (powerSavingState.powerOffWasActive) SetMonitorPowerOffActive(true);
        if (powerSavingState.lowPowerWasActive) SetMonitorLowPowerActive(true);
    }
    if (resourceLibrary) FreeResourceLibrary(resourceLibrary);
    resourceLibrary = nullptr;
}

void ResetGlViewState() {
    displayState = DisplayState();
    frameClock = FrameClock();
    frameStep = FrameStepState();
    powerSavingState = PowerSavingState();
    framePacing = FramePacing();
}
