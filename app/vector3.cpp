// CVector3's arithmetic and colour operations.
#include "vector3.h"

#include "mathutil.h"

namespace {
constexpr uint32_t kByteMask = 0xFF;
}

CVector3& CVector3::Add(const CVector3& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

CVector3& CVector3::Scale(double factor) {
    x *= factor;
    y *= factor;
    z *= factor;
    return *this;
}

void CVector3::Randomize() {
    // Separate statements keep the draw order x, y, z fixed.
    x = RandomUnit();
    y = RandomUnit();
    z = RandomUnit();
}

void CVector3::RandomizeMinLuminance(double minimum) {
    do {
        Randomize();
    } while (Luminance() < minimum);
}

void CVector3::FromColorRef(uint32_t packed) {
    x = (packed & kByteMask) * kColorByteScale;
    y = ((packed >> 8) & kByteMask) * kColorByteScale;
    z = ((packed >> 16) & kByteMask) * kColorByteScale;
}
