// Small numeric helpers shared by the scene and the overlay: a random unit
// from the program's one generator, clamping, and rounding halves away from
// zero. Header-only so that any unit can use them without a dependency.
#pragma once

#include "crtrand.h"

inline constexpr double kRandomUnitScale = 1.0 / kRandomMax;  // 3.051850947599719e-05
inline constexpr double kRoundingDeadZone = 0.00001;

// A random number in 0..1, both ends possible; one draw of Random().
inline double RandomUnit() { return Random() * kRandomUnitScale; }

// value becomes low when below low, otherwise high when above high.
inline void Clamp(double& value, double low, double high) {
    if (value < low) {
        value = low;
    } else if (value > high) {
        value = high;
    }
}

// Nearest integer, halves away from zero. Values within the dead zone of zero
// give 0, so a tiny negative result of a subtraction never shows as "-0".
inline int RoundToInt(double x) {
    if (x > kRoundingDeadZone) return static_cast<int>(x + 0.5);
    if (x < -kRoundingDeadZone) return static_cast<int>(x - 0.5);
    return 0;
}
