// CWanderer: a value that drifts smoothly at random between two bounds,
// easing its velocity towards a direction that reverses at the bounds and, on
// average every flip time seconds, at random. It drives the text colour
// progression (flyingtime) and the moving viewpoint (camera).
#pragma once

#include <cstdint>

inline constexpr double kWandererEasingRate = 2.0;  // velocity -1 to +1 in one second

class CWanderer {
public:
    bool active = false;
    double value = 0.0;
    double min = 0.0;
    double max = 0.0;
    double speed = 0.0;
    double flipTime = 0.0;  // 0 or less: no random reversals
    double velocity = 0.0;  // fraction of speed, -1..1
    int32_t direction = 0;  // +1 or -1 once started

    CWanderer() = default;
    // The same as Start with these arguments; draws two random numbers.
    CWanderer(double min, double max, double speed, double flipTime);

    void Reset();
    // Draws the direction, then the starting value within min..max.
    void Start(double min, double max, double speed, double flipTime);
    // Draws one random number when dt > 0 and flipTime > 0, none otherwise.
    void Step(double dt);
};
