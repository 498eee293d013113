// The scene objects: the base CSceneObject, the 3D text object CTextObject
// and CFlyingTime, one time of day flying from the depth to the viewer's
// plane, with the program-wide list that owns them. Spawning (when and which
// time) is app.cpp's; drawing the lettering is the text unit's (text.h).
#pragma once

#include <cstddef>
#include <cstdint>

#include "vector3.h"
#include "wanderer.h"

inline constexpr size_t kSceneTagSize = 32;
inline constexpr size_t kTextObjectTextSize = 200;  // as the time-text buffer
inline constexpr size_t kTimeTextBufferSize = 200;
inline constexpr char kFlyingTimeTag[] = "CFlyingTime";

inline constexpr double kFlightStartZ = -25.0;
inline constexpr double kFlightDistance = 25.0;
inline constexpr double kRemovalZ = 0.25;  // the outline font's extrusion depth
inline constexpr double kBrightnessFalloff = 0.04;
inline constexpr double kMinTextLuminance = 0.4;
inline constexpr double kLuminanceBoost = 1.01;
inline constexpr double kProgressionStep = 1.0;

class CSceneObject {
public:
    CSceneObject();  // links the object in at the head of the list
    virtual ~CSceneObject() = default;
    CSceneObject(const CSceneObject&) = delete;
    CSceneObject& operator=(const CSceneObject&) = delete;

    virtual void Draw() {}
    virtual void DrawOverlay() {}
    // position += dt * velocity, dt the frame's time in seconds.
    virtual void Update(double dt);
    virtual bool IsFinished() { return finished; }

    void SetTag(const char* text);

    CSceneObject* next = nullptr;
    CVector3 position;
    CVector3 velocity;
    bool finished = false;
    char tag[kSceneTagSize] = {};
};

class CTextObject : public CSceneObject {
public:
    // Lettering centred on the position, coloured colour * brightness.
    void Draw() override;
    void SetText(const char* newText);

    CVector3 colour;
    double brightness = 1.0;
    char text[kTextObjectTextSize] = {};
};

class CFlyingTime : public CTextObject {
public:
    // The time it carries (already advanced by the lead) and the lead in
    // seconds, which is also its flight time to the viewer's plane.
    CFlyingTime(int32_t hour, int32_t minute, int32_t second, int32_t lead);
    // Moves; brightens as it comes closer; finished at z >= kRemovalZ.
    void Update(double dt) override;
};

// The first object of the list, the newest; null when the list is empty.
extern CSceneObject* sceneObjectList;

// Updates every object by the frame's time dt, then unlinks and deletes the
// finished ones.
void UpdateSceneObjects(double dt);
void DrawSceneObjects();   // the 3D pass, head first
void DrawSceneOverlays();  // the overlay pass, head first
// Marks every object whose tag equals tag exactly; the next update removes them.
void FinishObjectsByTag(const char* tag);
void DestroySceneObjects();

// The colour state shared by every flying time of a run: the progression
// wanderers and the two colours chosen at their first use. Part of the scene
// record (scene.h).
struct FlyingTimeColours {
    CWanderer red;
    CWanderer green;
    CWanderer blue;
    CVector3 fixedRandom;
    CVector3 chosen;
};

// Formats a time of day by TimeFormatEnum (0 12-hour, 1 12-hour with AM/PM,
// 2 24-hour; other values as 1, the default) into buffer.
void FormatTimeOfDay(char* buffer, size_t size, int32_t format, int32_t hour, int32_t minute,
                     int32_t second);

// Measuring hook of the probe build: called once per flying time, in the
// update in which its z first reaches 0. Null in the normal program.
using FlightCrossingObserver = void (*)(const CFlyingTime& object);
extern FlightCrossingObserver flightCrossingObserver;
