// Frame clock, frame step, OpenGL state set-up and teardown of the OpenGL
// window. Everything here runs on the user-interface thread.
#include "glview.h"

#include "app.h"
#include "clock.h"
#include "flyingtime.h"
#include "main.h"
#include "platform/opengl.h"
#include "overlay.h"
#include "platform/glcontext.h"
#include "platform/power.h"
#include "platform/resources.h"
#include "platform/saverhost.h"
#include "saverwindow.h"
#include "settings_catalogue.h"

DisplayState displayState;
FrameClock frameClock;
double bannerFade = 0.0;
double bannerFadeRate = 0.075;
bool autoCloseArmed = true;
PowerSavingState powerSavingState;

namespace {
constexpr double kBannerFadeOutRate = -0.1;
constexpr double kMouseGraceSeconds = 1.0;
constexpr int kOverlayFontPicture = 142;
constexpr int kOverlayFontAdvance = 8;
}  // namespace

int GetViewWidth() { return displayState.viewWidth; }
int GetViewHeight() { return displayState.viewHeight; }
double GetViewAspect() {
    return static_cast<double>(displayState.viewWidth) / displayState.viewHeight;
}

void InitFrameClock() {
    Clock& clock = ActiveClock();
    frameClock = FrameClock();
    frameClock.frequency = clock.PerformanceFrequency();
    int64_t now = clock.PerformanceCounter();
    frameClock.startCount = now;
    frameClock.prevCount = now;
    frameClock.secondMarkCount = now;
    frameClock.fiveSecondMarkCount = now;
    frameClock.startCalendarTime = clock.CalendarTime();
    frameClock.startTickMs = clock.TickMs();
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

void RunFrameStep() {
    bannerFade += frameClock.frameDelta * bannerFadeRate;
    if (bannerFade >= 1.0) bannerFadeRate = kBannerFadeOutRate;
    if (bannerFade > 1.0) bannerFade = 1.0;
    if (bannerFade < 0.0) bannerFade = 0.0;

    UpdateSceneObjects();

    int closeAfter = BCS.Get();
    if (autoCloseArmed && closeAfter > 0 && closeAfter <= frameClock.elapsed) {
        autoCloseArmed = false;
        PostCloseToSaverWindow();
    }

    UpdateScene();
}

void GlViewOnCreate() {
    InitFrameClock();
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
    SetUpScene();
}

void GlViewOnSize(int width, int height) {
    displayState.viewWidth = width;
    displayState.viewHeight = height;
    glViewport(0, 0, width, height);
    InitGlState();
}

void GlViewOnPaint() {
    TickFrameClock();
    RunFrameStep();
    RenderScene();
}

bool GlViewIgnoresMouseMove() { return frameClock.elapsed < kMouseGraceSeconds; }

void GlViewOnDestroy() {
    DestroySceneObjects();
    DeleteOverlayFont();
    ShutDownScene();
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
    bannerFade = 0.0;
    bannerFadeRate = 0.075;
    autoCloseArmed = true;
    powerSavingState = PowerSavingState();
}
