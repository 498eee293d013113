// CWanderer's start and step. Every draw goes through Random() in a fixed
// order, so a seeded run drifts the same way on every platform.
#include "wanderer.h"

#include "crtrand.h"
#include "mathutil.h"

CWanderer::CWanderer(double min, double max, double speed, double flipTime) {
    Start(min, max, speed, flipTime);
}

void CWanderer::Reset() { *this = CWanderer(); }

void CWanderer::Start(double newMin, double newMax, double newSpeed, double newFlipTime) {
    min = newMin;
    max = newMax;
    speed = newSpeed;
    flipTime = newFlipTime;
    velocity = 0.0;
    int directionDraw = Random();
    direction = (directionDraw % 2 != 0) ? -1 : 1;
    int valueDraw = Random();
    value = min + valueDraw * (max - min) / kRandomMax;
    active = true;
}

void CWanderer::Step(double dt) {
    // The chance of a reversal in one step is dt / flipTime, so reversals come
    // on average every flipTime seconds whatever the frame rate.
    if (dt > 0 && flipTime > 0) {
        int flipDraw = Random();
        if (flipDraw * flipTime / kRandomMax < dt) direction = -direction;
    }
    if (velocity != direction) {
        velocity += kWandererEasingRate * direction * dt;
        Clamp(velocity, -1.0, 1.0);
    }
    value += speed * velocity * dt;
    // The velocity is left alone at a bound: the value rests there until the
    // velocity has eased past zero.
    if (value < min) {
        value = min;
        direction = 1;
    } else if (value > max) {
        value = max;
        direction = -1;
    }
}
