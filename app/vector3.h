// The scene's three-component vector of doubles: position, velocity and, as
// (red, green, blue), colour, with the colour operations built on it. Random
// colours draw through the program's generator (crtrand.h).
#pragma once

#include <cstdint>

inline constexpr double kLuminanceRed = 0.299;  // ITU-R BT.601 luma weights
inline constexpr double kLuminanceGreen = 0.587;
inline constexpr double kLuminanceBlue = 0.114;
inline constexpr double kColorByteScale = 1.0 / 255;  // 0.00392156862745098

class CVector3 {
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    CVector3() = default;
    CVector3(double x, double y, double z) : x(x), y(y), z(z) {}

    void Clear() { Assign(0.0, 0.0, 0.0); }
    void Assign(double newX, double newY, double newZ) {
        x = newX;
        y = newY;
        z = newZ;
    }
    CVector3& Add(const CVector3& other);
    CVector3& Scale(double factor);
    double Sum() const { return z + y + x; }
    double Luminance() const { return kLuminanceRed * x + kLuminanceGreen * y + kLuminanceBlue * z; }

    // x, y, z = RandomUnit, drawn in that order.
    void Randomize();
    // Randomize until the luminance reaches minimum; at least one draw.
    void RandomizeMinLuminance(double minimum);
    // A packed 0x00BBGGRR colour value, red in the low byte.
    void FromColorRef(uint32_t packed);
};
