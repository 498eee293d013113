// The C runtime's generator: state = state * 214013 + 2531011 (mod 2^32),
// result = bits 16..30 of the new state.
#include "crtrand.h"

namespace {
uint32_t randomState = 1;  // the C runtime starts as if seeded with 1
}

void SeedRandom(uint32_t seed) { randomState = seed; }

int Random() {
    randomState = randomState * 214013u + 2531011u;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}
