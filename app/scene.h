// The scene's inner workings behind app.h: the spawn-check state, the
// scene's process-wide record, the spawn and time operations, and the
// clock-correction calls, held as replaceable entry points so that a test can
// play the SNTP exchange without a network.
#pragma once

#include <cstddef>
#include <cstdint>

#include "camera.h"
#include "frameinfo.h"
#include "flyingtime.h"
#include "overlay.h"
#include "render.h"
#include "text.h"

inline constexpr int32_t kInitialLead = 5;  // seconds
inline constexpr int32_t kLargestLead = 12;
inline constexpr int32_t kGrowWaitExtraSeconds = 5;
inline constexpr double kGrowFrameRate = 30.0;  // both rates strictly above
inline constexpr size_t kFaceNameBufferSize = 500;
inline constexpr size_t kTimeTextSize = 200;
inline constexpr char kClockCorrectedText[] = "Clock Corrected";

struct SceneState {
    int32_t lead = kInitialLead;
    int32_t lastSeconds = 0;
    bool growPending = false;
    uint32_t lastGrowTime = 0;  // milliseconds of the tick
    bool clockCorrectedThisFrame = false;
    bool clockCorrectedNotice = false;
    bool spawnCheckStarted = false;
    bool clockSyncStarted = false;
    char faceName[kFaceNameBufferSize] = {};
};

// Everything the scene keeps between frames apart from its object list,
// each part with its start values, so that a fresh run is one assignment.
struct SceneRecord {
    SceneState state;
    CCamera camera;
    MovingViewpointState movingViewpoint;
    FlyingTimeColours flyingTimeColours;
    TrailBuffer trailBuffer;
    OutlineFont outlineFont;
    OverlayFont overlayFont;
    OverlayClock overlayClock;
};
extern SceneRecord scene;

// The SNTP exchange as the scene calls it; clocksync.h's functions unless a
// test put its own in.
struct ClockSyncCalls {
    void (*start)();
    bool (*poll)();
    void (*stop)();
};
extern ClockSyncCalls clockSyncCalls;
ClockSyncCalls RealClockSyncCalls();

// The current local time as text, "Www Mmm dd hh:mm:ss yyyy" (no newline);
// empty when the calendar time cannot be converted.
void GetTimeText(char* buffer, size_t size);

// Spawns a flying time when the local second changed; marks the lead to grow
// while the frame's average and five-second rates are good.
void CheckTimeAndSpawn(const FrameInfo& frame);
void SpawnFlyingTime(int32_t hour, int32_t minute, int32_t second);
// Adds n seconds (at most 59) with carries; the hour wraps at 24.
void AddSecondsToTime(int32_t& hour, int32_t& minute, int32_t& second, int32_t n);

// Back to the state of a fresh run: the objects destroyed and the scene
// record at its start values. For tests and a second OpenGL window in one
// process.
void ResetSceneState();
