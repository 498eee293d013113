// The scene's numeric helpers: rounding and clamping at their edges, the
// colour operations of CVector3, and CWanderer at its bounds and with dt 0.
#include <gtest/gtest.h>

#include "crtrand.h"
#include "mathutil.h"
#include "scene_support.h"
#include "vector3.h"
#include "wanderer.h"

using scenetest::ReferenceRandom;

TEST(SceneMath, rounding_goes_half_away_from_zero_with_a_dead_zone) {
    EXPECT_EQ(RoundToInt(2.5), 3);
    EXPECT_EQ(RoundToInt(-2.5), -3);
    EXPECT_EQ(RoundToInt(2.4999), 2);
    EXPECT_EQ(RoundToInt(-2.4999), -2);
    EXPECT_EQ(RoundToInt(0.000005), 0);
    EXPECT_EQ(RoundToInt(-0.000005), 0);
    EXPECT_EQ(RoundToInt(0.00002), 0);
    EXPECT_EQ(RoundToInt(0.5), 1);
    EXPECT_EQ(RoundToInt(-0.5), -1);
    EXPECT_EQ(RoundToInt(59.49), 59);
    EXPECT_EQ(RoundToInt(59.5), 60);
}

TEST(SceneMath, clamping_keeps_bounds_and_values_inside) {
    double v = 0.1;
    Clamp(v, 0.1, 1.0);
    EXPECT_EQ(v, 0.1);
    v = 1.0;
    Clamp(v, 0.1, 1.0);
    EXPECT_EQ(v, 1.0);
    v = 0.03;
    Clamp(v, 0.1, 1.0);
    EXPECT_EQ(v, 0.1);
    v = 1.5;
    Clamp(v, 0.1, 1.0);
    EXPECT_EQ(v, 1.0);
    v = -0.0;
    Clamp(v, -1.0, 1.0);
    EXPECT_EQ(v, 0.0);
}

TEST(SceneMath, random_units_span_zero_to_one_inclusive) {
    EXPECT_EQ(0 * kRandomUnitScale, 0.0);
    EXPECT_EQ(32767 * kRandomUnitScale, 1.0);
    SeedRandom(5);
    ReferenceRandom ref(5);
    for (int i = 0; i < 1000; ++i) EXPECT_EQ(RandomUnit(), ref.Next() * (1.0 / 32767));
}

TEST(SceneMath, colours_from_packed_values_and_their_luminance) {
    CVector3 c;
    c.FromColorRef(0xFF8040);
    EXPECT_DOUBLE_EQ(c.x, 64.0 / 255);
    EXPECT_DOUBLE_EQ(c.y, 128.0 / 255);
    EXPECT_DOUBLE_EQ(c.z, 1.0);
    c.FromColorRef(0xAB123456);  // the top byte is not a colour
    EXPECT_DOUBLE_EQ(c.x, 0x56 / 255.0);
    EXPECT_DOUBLE_EQ(c.z, 0x12 / 255.0);

    EXPECT_DOUBLE_EQ(CVector3(1, 1, 1).Luminance(), 1.0);
    EXPECT_DOUBLE_EQ(CVector3(0, 0, 1).Luminance(), 0.114);
    CVector3 v(1, 2, 3);
    v.Add(CVector3(0.5, 0.5, 0.5)).Scale(2);
    EXPECT_EQ(v.Sum(), 3 + 5 + 7);
}

TEST(SceneMath, minimum_luminance_redraws_whole_colours_in_xyz_order) {
    const uint32_t kSeed = 31337;
    SeedRandom(kSeed);
    CVector3 c;
    c.RandomizeMinLuminance(0.4);

    ReferenceRandom ref(kSeed);
    double x, y, z;
    int draws = 0;
    do {
        x = ref.Next() * (1.0 / 32767);
        y = ref.Next() * (1.0 / 32767);
        z = ref.Next() * (1.0 / 32767);
        ++draws;
    } while (0.299 * x + 0.587 * y + 0.114 * z < 0.4);
    EXPECT_EQ(c.x, x);
    EXPECT_EQ(c.y, y);
    EXPECT_EQ(c.z, z);
    EXPECT_EQ(Random(), ref.Next());

    // A floor of 0 still draws once.
    SeedRandom(1);
    c.RandomizeMinLuminance(0.0);
    EXPECT_EQ(c.x, 41 * (1.0 / 32767));
}

TEST(SceneWanderer, start_draws_direction_then_value) {
    SeedRandom(1);  // 41 (odd), 18467
    CWanderer w(-0.9, 0.9, 0.05, 20);
    EXPECT_TRUE(w.active);
    EXPECT_EQ(w.direction, -1);
    EXPECT_DOUBLE_EQ(w.value, -0.9 + 18467 * 1.8 / 32767);
    EXPECT_EQ(w.velocity, 0.0);
    w.Reset();
    EXPECT_FALSE(w.active);
    EXPECT_EQ(w.direction, 0);
}

TEST(SceneWanderer, one_second_step_reaches_full_velocity_and_dt_zero_changes_nothing) {
    CWanderer w;
    w.active = true;
    w.min = 0;
    w.max = 100;
    w.speed = 3;
    w.flipTime = 0;  // no reversal draw
    w.value = 50;
    w.direction = 1;
    w.Step(1.0);
    EXPECT_EQ(w.velocity, 1.0);
    EXPECT_EQ(w.value, 53.0);

    SeedRandom(77);
    w.flipTime = 30;
    CWanderer before = w;
    w.Step(0.0);
    EXPECT_EQ(w.value, before.value);
    EXPECT_EQ(w.velocity, before.velocity);
    EXPECT_EQ(w.direction, before.direction);
    ReferenceRandom ref(77);
    EXPECT_EQ(Random(), ref.Next()) << "dt 0 draws nothing";
}

TEST(SceneWanderer, overshoot_stops_at_the_bound_and_rests_until_the_velocity_turns) {
    CWanderer w;
    w.active = true;
    w.min = 0;
    w.max = 10;
    w.speed = 4;
    w.value = 9;
    w.velocity = 1;
    w.direction = 1;
    w.Step(0.5);  // would reach 11
    EXPECT_EQ(w.value, 10.0);
    EXPECT_EQ(w.direction, -1);
    EXPECT_EQ(w.velocity, 1.0) << "the bound does not touch the velocity";

    w.Step(0.25);  // velocity eases to 0.5 and pushes up again
    EXPECT_EQ(w.velocity, 0.5);
    EXPECT_EQ(w.value, 10.0);
    w.Step(0.25);  // velocity 0: stays
    EXPECT_EQ(w.value, 10.0);
    w.Step(0.25);  // velocity -0.5: leaves the bound
    EXPECT_EQ(w.velocity, -0.5);
    EXPECT_EQ(w.value, 10.0 - 4 * 0.5 * 0.25);

    // The lower bound turns the direction up.
    w.value = 0.1;
    w.velocity = -1;
    w.direction = -1;
    w.Step(0.5);
    EXPECT_EQ(w.value, 0.0);
    EXPECT_EQ(w.direction, 1);
}

TEST(SceneWanderer, random_reversals_come_about_once_per_flip_time) {
    SeedRandom(2024);
    CWanderer w(-1000, 1000, 0, 20);  // speed 0: never meets a bound
    int reversals = 0;
    for (int i = 0; i < 200000; ++i) {  // 10000 s in steps of 0.05 s
        int before = w.direction;
        w.Step(0.05);
        if (w.direction != before) ++reversals;
    }
    EXPECT_NEAR(reversals, 500, 80);
}
