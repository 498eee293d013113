// The scene object list and the flying time objects: construction with the
// colour scheme and time format of the settings, the flight, and removal once
// past the viewer's plane. The list owns every object it holds.
#include "flyingtime.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "scene.h"
#include "settings.h"
#include "settings_catalogue.h"
#include "text.h"

CSceneObject* sceneObjectList = nullptr;
FlightCrossingObserver flightCrossingObserver = nullptr;

namespace {
constexpr int32_t kHoursPerHalfDay = 12;

enum TimeFormat : int32_t { kTwelveHour = 0, kTwelveHourSuffix = 1, kTwentyFourHour = 2 };
enum TextColorScheme : int32_t {
    kProgression = 0,
    kRandomFixed = 1,
    kRandomVarying = 2,
    kChosenColor = 3,
};

struct WandererStart {
    double min, max, speed, flipTime;
};
constexpr WandererStart kRedProgression = {30, 255, 9.1, 30};
constexpr WandererStart kGreenProgression = {30, 255, 8.05, 30};
constexpr WandererStart kBlueProgression = {30, 255, 7, 30};

void StartAtFirstUse(CWanderer& wanderer, const WandererStart& start) {
    if (!wanderer.active) wanderer.Start(start.min, start.max, start.speed, start.flipTime);
}

CVector3 ProgressionColour() {
    FlyingTimeColours& c = scene.flyingTimeColours;
    StartAtFirstUse(c.red, kRedProgression);
    StartAtFirstUse(c.green, kGreenProgression);
    StartAtFirstUse(c.blue, kBlueProgression);
    c.red.Step(kProgressionStep);
    c.green.Step(kProgressionStep);
    c.blue.Step(kProgressionStep);
    CVector3 colour(c.red.value * kColorByteScale, c.green.value * kColorByteScale,
                    c.blue.value * kColorByteScale);
    // The wanderers' lower bound keeps the luminance above 0.11, so this ends.
    while (colour.Luminance() < kMinTextLuminance) colour.Scale(kLuminanceBoost);
    return colour;
}

CVector3 SchemeColour(int32_t scheme) {
    FlyingTimeColours& c = scene.flyingTimeColours;
    switch (scheme) {
    case kRandomFixed:
        if (c.fixedRandom.Sum() == 0) c.fixedRandom.RandomizeMinLuminance(kMinTextLuminance);
        return c.fixedRandom;
    case kRandomVarying: {
        CVector3 colour;
        colour.RandomizeMinLuminance(kMinTextLuminance);
        return colour;
    }
    case kChosenColor:
        // A black TextColor leaves the sum at 0: it is read again next time
        // and the text stays black, as the user chose.
        if (c.chosen.Sum() == 0) c.chosen.FromColorRef(static_cast<uint32_t>(TextColor.Get()));
        return c.chosen;
    default:  // 0, and any hand-edited value outside the schemes
        return ProgressionColour();
    }
}
}  // namespace

void FormatTimeOfDay(char* buffer, size_t size, int32_t format, int32_t hour, int32_t minute,
                     int32_t second) {
    // The hour after midnight shows as 0 and noon as 12.
    int32_t shownHour = hour > kHoursPerHalfDay ? hour - kHoursPerHalfDay : hour;
    switch (format) {
    case kTwelveHour:
        snprintf(buffer, size, "%d:%02d:%02d", shownHour, minute, second);
        break;
    case kTwentyFourHour:
        snprintf(buffer, size, "%02d:%02d:%02d", hour, minute, second);
        break;
    default:  // 1, and any hand-edited value outside the formats
        snprintf(buffer, size, "%d:%02d:%02d %s", shownHour, minute, second,
                 hour < kHoursPerHalfDay ? "AM" : "PM");
        break;
    }
}

CSceneObject::CSceneObject() {
    next = sceneObjectList;
    sceneObjectList = this;
}

void CSceneObject::Update(double dt) {
    position.x += dt * velocity.x;
    position.y += dt * velocity.y;
    position.z += dt * velocity.z;
}

void CSceneObject::SetTag(const char* text) { CopyText(tag, sizeof tag, text); }

void CTextObject::SetText(const char* newText) { CopyText(text, sizeof text, newText); }

void CTextObject::Draw() { DrawTextObject(position, colour, brightness, text); }

CFlyingTime::CFlyingTime(int32_t hour, int32_t minute, int32_t second, int32_t lead) {
    SetTag(kFlyingTimeTag);
    position.Assign(0.0, 0.0, kFlightStartZ);
    velocity.Assign(0.0, 0.0, kFlightDistance / lead);
    colour = SchemeColour(TextColorEnum.Get());

    char buffer[kTimeTextBufferSize] = {};
    FormatTimeOfDay(buffer, sizeof buffer, TimeFormatEnum.Get(), hour, minute, second);
    SetText(buffer);
    brightness = 0.0;  // black until its first update
}

void CFlyingTime::Update(double dt) {
    double previousZ = position.z;
    CSceneObject::Update(dt);
    if (previousZ < 0.0 && position.z >= 0.0 && flightCrossingObserver) {
        flightCrossingObserver(*this);
    }
    if (position.z >= kRemovalZ) {
        finished = true;  // the brightness keeps its last value
        return;
    }
    double dim = 1.0 - std::fabs(kBrightnessFalloff * position.z);
    brightness = dim * dim;
}

void UpdateSceneObjects(double dt) {
    CSceneObject* lastKept = nullptr;
    CSceneObject* object = sceneObjectList;
    while (object) {
        // The next pointer is taken first: the object may be deleted below.
        CSceneObject* following = object->next;
        object->Update(dt);
        if (object->IsFinished()) {
            if (lastKept) {
                lastKept->next = following;
            } else {
                sceneObjectList = following;
            }
            delete object;
        } else {
            lastKept = object;
        }
        object = following;
    }
}

void DrawSceneObjects() {
    for (CSceneObject* object = sceneObjectList; object; object = object->next) object->Draw();
}

void DrawSceneOverlays() {
    for (CSceneObject* object = sceneObjectList; object; object = object->next) object->DrawOverlay();
}

void FinishObjectsByTag(const char* tagText) {
    for (CSceneObject* object = sceneObjectList; object; object = object->next) {
        if (strcmp(object->tag, tagText) == 0) object->finished = true;
    }
}

void DestroySceneObjects() {
    while (sceneObjectList) {
        CSceneObject* first = sceneObjectList;
        sceneObjectList = first->next;
        delete first;
    }
}
