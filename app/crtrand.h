// The one random-number generator of the program: the classic linear
// congruential generator of the Windows C runtime (values 0..32767), so that a
// fixed seed gives the same choices on Windows and on Linux. Every random draw
// of the saver goes through Random(); nothing calls the C library's rand().
#pragma once

#include <cstdint>

inline constexpr int kRandomMax = 32767;

// Restarts the sequence, like srand().
void SeedRandom(uint32_t seed);

// The next number of the sequence, 0..kRandomMax, like rand().
int Random();
