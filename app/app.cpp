// The scene's entry points and the spawning of flying times: set-up once the
// OpenGL context exists, the per-frame update with the lead that grows while
// the frame rate is good, and shutdown. The objects are flyingtime.cpp's, the
// frame drawing render.cpp's, the camera camera.cpp's.
#include "app.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "camera.h"
#include "clock.h"
#include "clocksync.h"
#include "flyingtime.h"
#include "fontcatalogue.h"
#include "platform/opengl.h"
#include "render.h"
#include "scene.h"
#include "settings.h"
#include "settings_catalogue.h"
#include "text.h"

SceneRecord scene;
ClockSyncCalls clockSyncCalls = RealClockSyncCalls();

namespace {
constexpr size_t kTimeTextCut = 19;    // just after the seconds
constexpr size_t kClockFieldStart = 11;  // "hh:mm:ss" in the ctime text
constexpr int32_t kSecondsPerMinute = 60;
constexpr int32_t kMinutesPerHour = 60;
constexpr int32_t kHoursPerDay = 24;
constexpr uint32_t kMillisecondsPerSecond = 1000;

enum FontChoice : int32_t { kRandomCatalogueFace = 0, kNamedFace = 1 };

const CVector3 kEyeAtSetUp{0.0, 1.0, 0.0};
const CVector3 kCentreAtSetUp{0.0, 0.0, -2.0};
const CVector3 kUpAtSetUp{0.0, 1.0, -2.0};
}  // namespace

ClockSyncCalls RealClockSyncCalls() { return {StartClockSync, PollClockSync, StopClockSync}; }

void SceneStartup() {
    // LowDetail is kept for display only: locking it disables its check box
    // and keeps restore-defaults away from it.
    LowDetail.Lock();
}

void SetUpScene(const FrameInfo& frame) {
    SceneState& s = scene.state;
    memset(s.faceName, 0, sizeof s.faceName);
    if (FontEnum.Get() == kNamedFace) {
        CopyText(s.faceName, sizeof s.faceName, FaceName.Get());
    } else {  // 0, and any hand-edited value
        PickRandomInstalledFace(s.faceName, sizeof s.faceName);
    }
    CreateOutlineFont(s.faceName, Wireframe.Get() == 1);

    scene.camera.eye = kEyeAtSetUp;
    scene.camera.centre = kCentreAtSetUp;
    scene.camera.up = kUpAtSetUp;

    // No light or material parameter is set: OpenGL's defaults give a white
    // light along the view and let the current colour be the material.
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);

    SetUpTrailBuffer(frame.view);

    // One exchange per run: a second size event must not set the clock again.
    if (SyncClock.Get() == 1 && !s.clockSyncStarted) {
        s.clockSyncStarted = true;
        clockSyncCalls.start();
    }
}

void UpdateScene(const FrameInfo& frame) {
    SceneState& s = scene.state;
    if (SyncClock.Get() == 1) {
        s.clockCorrectedThisFrame = clockSyncCalls.poll();
        if (s.clockCorrectedThisFrame) {
            // The times in flight were computed from the old clock.
            FinishObjectsByTag(kFlyingTimeTag);
            s.clockCorrectedNotice = true;
        }
    }
    if (MovingViewpoint.Get() == 1) UpdateMovingViewpoint(frame.frameDelta);
    CheckTimeAndSpawn(frame);
}

void ShutDownScene() {
    if (SyncClock.Get() == 1 && scene.state.clockSyncStarted) {
        clockSyncCalls.stop();
        scene.state.clockSyncStarted = false;
    }
    ReleaseTrailBuffer();
}

void GetTimeText(char* buffer, size_t size) {
    if (size == 0) return;
    buffer[0] = '\0';
    time_t now = static_cast<time_t>(ActiveClock().CalendarTime());
    const char* text = ctime(&now);
    if (!text) return;
    CopyText(buffer, size, text);
    char* newline = strchr(buffer, '\n');
    if (newline) *newline = '\0';
}

void CheckTimeAndSpawn(const FrameInfo& frame) {
    SceneState& s = scene.state;
    char timeText[kTimeTextSize];
    GetTimeText(timeText, sizeof timeText);
    if (strlen(timeText) < kTimeTextCut) return;  // no usable local time this frame
    timeText[kTimeTextCut] = '\0';
    int hour = 0, minute = 0, second = 0;
    if (sscanf(timeText + kClockFieldStart, "%d:%d:%d", &hour, &minute, &second) != 3) return;

    bool firstCheck = !s.spawnCheckStarted;
    if (firstCheck) s.lastSeconds = second;

    if (s.clockCorrectedThisFrame) {
        // The clock was just set: the next change of the seconds spawns the
        // notice.
        s.lastSeconds = second;
    } else if (second != s.lastSeconds) {
        // Any change counts, also a step back after the clock was set back.
        s.lastSeconds = second;
        SpawnFlyingTime(hour, minute, second);
        if (s.growPending && s.lead < kLargestLead) {
            ++s.lead;
            s.growPending = false;
            // One second further ahead and slower, so no second is skipped.
            SpawnFlyingTime(hour, minute, second);
        }
    }

    uint32_t now = ActiveClock().TickMs();
    if (firstCheck) {
        s.lastGrowTime = now;
        s.spawnCheckStarted = true;
    }
    uint32_t wait = static_cast<uint32_t>(s.lead + kGrowWaitExtraSeconds) * kMillisecondsPerSecond;
    // Unsigned arithmetic keeps the wait right across the tick's wrap.
    if (now - s.lastGrowTime > wait && frame.averageFps > kGrowFrameRate &&
        frame.fps5 > kGrowFrameRate) {
        s.growPending = true;
        s.lastGrowTime = now;
    }
}

void SpawnFlyingTime(int32_t hour, int32_t minute, int32_t second) {
    SceneState& s = scene.state;
    AddSecondsToTime(hour, minute, second, s.lead);
    // The list owns the object from its construction on.
    CFlyingTime* object = new CFlyingTime(hour, minute, second, s.lead);
    if (s.clockCorrectedNotice) {
        object->SetText(kClockCorrectedText);
        s.clockCorrectedNotice = false;
    }
}

void AddSecondsToTime(int32_t& hour, int32_t& minute, int32_t& second, int32_t n) {
    second += n;
    if (second >= kSecondsPerMinute) {
        second -= kSecondsPerMinute;
        minute += 1;
    }
    if (minute >= kMinutesPerHour) {
        minute -= kMinutesPerHour;
        hour += 1;
    }
    if (hour >= kHoursPerDay) hour -= kHoursPerDay;
}

void ResetSceneState() {
    DestroySceneObjects();
    scene = SceneRecord();
}
