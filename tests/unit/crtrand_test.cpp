// The generator must reproduce the Windows C runtime's sequence exactly, so
// a fixed seed makes the same choices on both platforms.
#include <gtest/gtest.h>

#include "crtrand.h"

TEST(CrtRand, seed_1_gives_the_c_runtime_sequence) {
    SeedRandom(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected) EXPECT_EQ(Random(), value);
}

TEST(CrtRand, same_seed_repeats_and_values_stay_in_range) {
    SeedRandom(12345);
    int first[100];
    for (int& value : first) value = Random();
    SeedRandom(12345);
    for (int value : first) EXPECT_EQ(Random(), value);

    SeedRandom(0xFFFFFFFFu);
    for (int i = 0; i < 100000; ++i) {
        int value = Random();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, kRandomMax);
    }
}
