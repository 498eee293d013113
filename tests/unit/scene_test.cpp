// The scene's per-frame logic driven through the OpenGL window's handlers
// with a manual clock: when flying times are spawned and what they carry, the
// growing lead, the clock-corrected notice, the fixed-seed draw order and the
// arrival of each time at the viewer's plane on the wall clock.
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app.h"
#include "camera.h"
#include "crtrand.h"
#include "glview.h"
#include "scene_support.h"
#include "settings_catalogue.h"

using scenetest::ClockSyncScript;
using scenetest::LocalCalendarTime;
using scenetest::ReferenceRandom;

namespace {
class SceneFrames : public scenetest::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        TimeFormatEnum.Set(2);
        FontEnum.Set(1);
    }
    // Frames of period seconds until the local seconds differ from now's.
    int FramesUntilSecondsChange(double period) {
        int64_t start = clock.clock.calendarTime;
        int frames = 0;
        while (clock.clock.calendarTime == start) {
            Frame(period);
            ++frames;
        }
        return frames;
    }
};
}  // namespace

TEST_F(SceneFrames, first_object_comes_at_the_first_change_of_seconds_carrying_time_plus_lead) {
    SetLocalTime(16, 30, 24, 0.5);
    StartView();
    for (int i = 0; i < 24; ++i) Frame(0.02);  // up to 16:30:24.98
    EXPECT_TRUE(Objects().empty());
    Frame(0.02);
    ASSERT_EQ(Texts(), std::vector<std::string>({"16:30:30"}));
    auto* object = static_cast<CFlyingTime*>(sceneObjectList);
    EXPECT_EQ(object->position.z, -25.0);
    EXPECT_DOUBLE_EQ(object->velocity.z, 5.0);
    EXPECT_EQ(object->brightness, 0.0);
}

TEST_F(SceneFrames, times_carry_over_minutes_hours_and_midnight) {
    struct Case {
        int h, m, s, n, wantH, wantM, wantS;
    };
    for (const Case& c : {Case{23, 59, 58, 5, 0, 0, 3}, Case{10, 59, 59, 12, 11, 0, 11},
                          Case{7, 14, 54, 5, 7, 14, 59}, Case{7, 14, 55, 5, 7, 15, 0}}) {
        int32_t h = c.h, m = c.m, s = c.s;
        AddSecondsToTime(h, m, s, c.n);
        EXPECT_EQ(h * 10000 + m * 100 + s, c.wantH * 10000 + c.wantM * 100 + c.wantS)
            << c.h << ":" << c.m << ":" << c.s << " + " << c.n;
    }

    SetLocalTime(23, 59, 57, 0.9);
    StartView();
    FramesUntilSecondsChange(0.02);
    EXPECT_EQ(Texts(), std::vector<std::string>({"00:00:03"}));
}

TEST_F(SceneFrames, lead_grows_from_5_to_12_in_seven_steps_at_a_good_frame_rate) {
    SetLocalTime(9, 0, 0, 0.3);
    StartView();
    std::vector<double> growthTimes;
    std::map<int, int> leadAt;  // whole seconds since start -> lead
    size_t before = 0;
    for (int i = 0; i < 150 * 50; ++i) {
        int leadBefore = scene.state.lead;
        Frame(0.02);
        std::vector<std::string> texts = Texts();
        if (scene.state.lead != leadBefore) {
            growthTimes.push_back(frameClock.elapsed);
            EXPECT_EQ(scene.state.lead, leadBefore + 1);
            // Two new objects in this frame (still black, so not yet
            // updated), one second apart, the newer slower.
            auto* newer = static_cast<CFlyingTime*>(sceneObjectList);
            auto* older = static_cast<CFlyingTime*>(sceneObjectList->next);
            EXPECT_EQ(newer->brightness, 0.0);
            EXPECT_EQ(older->brightness, 0.0);
            EXPECT_EQ(texts.size(), before + 2);
            int hn, mn, sn, ho, mo, so;
            ASSERT_EQ(sscanf(newer->text, "%d:%d:%d", &hn, &mn, &sn), 3);
            ASSERT_EQ(sscanf(older->text, "%d:%d:%d", &ho, &mo, &so), 3);
            EXPECT_EQ((hn * 3600 + mn * 60 + sn) - (ho * 3600 + mo * 60 + so), 1);
            EXPECT_DOUBLE_EQ(newer->velocity.z, 25.0 / scene.state.lead);
            EXPECT_DOUBLE_EQ(older->velocity.z, 25.0 / leadBefore);
        }
        before = texts.size();
        leadAt[static_cast<int>(frameClock.elapsed)] = scene.state.lead;
    }
    ASSERT_EQ(growthTimes.size(), 7u);
    // Each step from lead L waits a little over L + 5 seconds: 91 s in all.
    EXPECT_EQ(leadAt[5], 5);
    EXPECT_EQ(leadAt[89], 11);
    EXPECT_EQ(leadAt[93], 12);
    for (size_t k = 1; k < growthTimes.size(); ++k) {
        double gap = growthTimes[k] - growthTimes[k - 1];
        int leadBeforeStep = 5 + static_cast<int>(k);
        EXPECT_GT(gap, leadBeforeStep + 5 - 1.0) << "step " << k;
        EXPECT_LT(gap, leadBeforeStep + 5 + 1.0) << "step " << k;
    }
    // With the lead at 12, lead + 1 times are in flight.
    EXPECT_GE(Objects().size(), 12u);
    EXPECT_LE(Objects().size(), 14u);
}

TEST_F(SceneFrames, lead_grows_only_when_both_rates_are_strictly_above_thirty) {
    struct Rates {
        double average, fiveSecond;
        bool grows;
    };
    for (const Rates& r : {Rates{30.0, 30.0, false}, Rates{31.0, 30.0, false},
                           Rates{30.0, 60.0, false}, Rates{29.0, 29.0, false},
                           Rates{30.000001, 30.000001, true}}) {
        ResetSceneState();
        SetLocalTime(9, 0, 0, 0.3);
        StartView();
        FrameInfo frame = CurrentFrameInfo();
        frame.averageFps = r.average;
        frame.fps5 = r.fiveSecond;
        frame.frameDelta = 0.1;
        for (int i = 0; i < 200 * 10; ++i) {
            clock.clock.AdvanceSeconds(0.1);
            UpdateSceneObjects(frame.frameDelta);
            UpdateScene(frame);
        }
        EXPECT_EQ(scene.state.lead, r.grows ? 12 : 5) << r.average << " / " << r.fiveSecond;
    }
}

TEST_F(SceneFrames, lead_waits_across_a_wrapped_tick) {
    SetLocalTime(9, 0, 0, 0.3);
    clock.clock.tickMs = 0xFFFFFFFFu - 3000;  // wraps three seconds from now
    StartView();
    for (int i = 0; i < 20 * 50; ++i) Frame(0.02);
    // The first step needs just over 10 s and a full five-second window, and
    // the wrap neither hastens nor blocks it.
    EXPECT_EQ(scene.state.lead, 6);
}

TEST_F(SceneFrames, clock_correction_clears_the_sky_and_announces_itself_once) {
    SyncClock.Set(1);
    SetLocalTime(12, 0, 0, 0.5);
    StartView();
    EXPECT_EQ(ClockSyncScript().starts, 1);
    for (int i = 0; i < 6 * 50; ++i) Frame(0.02);
    ASSERT_GE(Texts().size(), 5u);
    size_t inFlight = Objects().size();

    // The correction arrives in the frame in which the seconds change.
    SetLocalTime(12, 0, 9, 0.99);
    Frame(0.0);
    inFlight = Objects().size();
    ClockSyncScript().succeedAtPoll = ClockSyncScript().polls + 1;
    Frame(0.02);
    EXPECT_EQ(Objects().size(), inFlight) << "nothing is spawned in the frame of the correction";
    for (CSceneObject* o : Objects()) EXPECT_TRUE(o->finished);

    Frame(0.02);
    EXPECT_TRUE(Objects().empty());
    FramesUntilSecondsChange(0.02);
    EXPECT_EQ(Texts(), std::vector<std::string>({"Clock Corrected"}));
    EXPECT_DOUBLE_EQ(static_cast<CFlyingTime*>(sceneObjectList)->velocity.z, 25.0 / scene.state.lead);
    FramesUntilSecondsChange(0.02);
    EXPECT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[0], "12:00:17");
    for (int i = 0; i < 30 * 50; ++i) Frame(0.02);
    for (const std::string& text : Texts()) EXPECT_NE(text, "Clock Corrected");

    // A second size event neither rebuilds the exchange nor sets the clock twice.
    GlViewOnSize(1024, 768);
    EXPECT_EQ(ClockSyncScript().starts, 1);
    DestroySceneObjects();
    ShutDownScene();
    EXPECT_EQ(ClockSyncScript().stops, 1);
}

TEST_F(SceneFrames, without_sync_clock_the_exchange_is_never_touched) {
    SyncClock.Set(0);
    ClockSyncScript().succeedAtPoll = 1;
    SetLocalTime(12, 0, 0, 0.5);
    StartView();
    for (int i = 0; i < 10 * 50; ++i) Frame(0.02);
    ShutDownScene();
    EXPECT_EQ(ClockSyncScript().starts + ClockSyncScript().polls + ClockSyncScript().stops, 0);
    for (const std::string& text : Texts()) EXPECT_NE(text, "Clock Corrected");
}

TEST_F(SceneFrames, a_clock_set_back_spawns_the_earlier_times) {
    SetLocalTime(8, 0, 30, 0.5);
    StartView();
    FramesUntilSecondsChange(0.02);
    EXPECT_EQ(Texts()[0], "08:00:36");
    SetLocalTime(8, 0, 27, 0.5);
    Frame(0.0);
    EXPECT_EQ(Texts()[0], "08:00:32");
}

TEST_F(SceneFrames, set_up_builds_the_chosen_face_places_the_camera_and_lights_the_scene) {
    FaceName.Set("Georgia");
    Wireframe.Set(1);
    StartView();
    ASSERT_EQ(fake::OutlineFonts().builds.size(), 1u);
    EXPECT_EQ(fake::OutlineFonts().builds[0].faceName, "Georgia");
    EXPECT_TRUE(fake::OutlineFonts().builds[0].wireframe);
    EXPECT_EQ(scene.camera.eye.y, 1.0);
    EXPECT_EQ(scene.camera.centre.z, -2.0);
    EXPECT_EQ(scene.camera.up.z, -2.0);

    // Only exactly 1 means wireframe.
    Wireframe.Set(2);
    GlViewOnSize(1024, 768);
    ASSERT_EQ(fake::OutlineFonts().builds.size(), 2u);
    EXPECT_FALSE(fake::OutlineFonts().builds[1].wireframe);

    // With the viewpoint fixed the eye stays where set-up put it.
    MovingViewpoint.Set(0);
    for (int i = 0; i < 100; ++i) Frame(0.02);
    EXPECT_EQ(scene.camera.eye.x, 0.0);
    EXPECT_EQ(scene.camera.eye.y, 1.0);
    EXPECT_EQ(scene.camera.eye.z, 0.0);
}

TEST_F(SceneFrames, a_fixed_seed_repeats_the_face_the_drift_and_the_colours) {
    const uint32_t kSeed = 4242;
    FontEnum.Set(0);
    TextColorEnum.Set(0);
    MovingViewpoint.Set(1);
    FrameBlending.Set(0);
    fake::OutlineFonts().installedFaces = {"Tahoma", "Impact"};

    ReferenceRandom ref(kSeed);
    std::string expectedFace;
    for (int tries = 0; tries < 100 && expectedFace.empty(); ++tries) {
        int index = ref.Next() % 37;
        if (index == 33) expectedFace = "Tahoma";
        if (index == 19) expectedFace = "Impact";
    }
    ASSERT_FALSE(expectedFace.empty());

    // A wanderer started and stepped once, written out from its rules.
    struct Drift {
        double value, velocity;
        int direction;
    };
    auto startAndStep = [&ref](double min, double max, double speed, double flip, double dt) {
        Drift d;
        d.direction = ref.Next() % 2 ? -1 : 1;
        d.value = min + ref.Next() * (max - min) / 32767;
        if (ref.Next() * flip / 32767 < dt) d.direction = -d.direction;
        d.velocity = std::fmax(-1.0, std::fmin(1.0, 2.0 * d.direction * dt));
        d.value += speed * d.velocity * dt;
        if (d.value < min) d.value = min;
        if (d.value > max) d.value = max;
        return d;
    };
    const double dt = 0.05;
    Drift horizontal = startAndStep(-0.9, 0.9, 0.05, 20, dt);
    Drift vertical = startAndStep(0.35, 1.15, 0.05, 30, dt);

    SeedRandom(kSeed);
    SetLocalTime(10, 0, 0, 0.9);
    StartView();
    EXPECT_EQ(std::string(scene.state.faceName), expectedFace);
    Frame(dt);
    EXPECT_TRUE(Objects().empty());
    EXPECT_DOUBLE_EQ(scene.camera.eye.x, horizontal.value);
    EXPECT_DOUBLE_EQ(scene.camera.eye.y, vertical.value);
    EXPECT_EQ(scene.camera.eye.z, 0.0);

    // The next frame crosses the second: two drift draws, then the colour's
    // three starts and three steps.
    ref.Next();
    ref.Next();
    double starts[3];
    int directions[3];
    for (int c = 0; c < 3; ++c) {
        directions[c] = ref.Next() % 2 ? -1 : 1;
        starts[c] = 30 + ref.Next() * 225.0 / 32767;
    }
    const double speeds[3] = {9.1, 8.05, 7};
    double rgb[3];
    for (int c = 0; c < 3; ++c) {
        if (ref.Next() * 30.0 / 32767 < 1.0) directions[c] = -directions[c];
        rgb[c] = std::fmax(30, std::fmin(255, starts[c] + speeds[c] * directions[c])) / 255;
    }
    while (0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2] < 0.4) {
        for (double& v : rgb) v *= 1.01;
    }
    Frame(dt);
    ASSERT_EQ(Objects().size(), 1u);
    auto* object = static_cast<CFlyingTime*>(sceneObjectList);
    EXPECT_DOUBLE_EQ(object->colour.x, rgb[0]);
    EXPECT_DOUBLE_EQ(object->colour.y, rgb[1]);
    EXPECT_DOUBLE_EQ(object->colour.z, rgb[2]);
    // Nothing else drew: the generator is where the reference is.
    EXPECT_EQ(Random(), ref.Next());
}

namespace {
struct Crossing {
    int64_t counter;  // microseconds, interpolated to z = 0
    std::string text;
};
std::vector<Crossing>* crossings = nullptr;
fake::ManualClock* crossingClock = nullptr;

void RecordCrossing(const CFlyingTime& object) {
    double sinceZero = object.position.z / object.velocity.z;  // seconds
    crossings->push_back({crossingClock->counter - static_cast<int64_t>(std::llround(sinceZero * 1e6)),
                          object.text});
}
}  // namespace

TEST_F(SceneFrames, every_time_reaches_the_viewer_within_one_frame_of_the_wall_clock) {
    for (double period : {0.02, 0.0173, 1.0 / 90}) {
        ResetSceneState();
        std::vector<Crossing> seen;
        crossings = &seen;
        crossingClock = &clock.clock;
        flightCrossingObserver = RecordCrossing;
        SetLocalTime(14, 0, 0, 0.37);
        StartView();
        int frames = static_cast<int>(150 / period);
        for (int i = 0; i < frames; ++i) Frame(period);
        flightCrossingObserver = nullptr;

        ASSERT_GT(seen.size(), 130u) << "period " << period;
        EXPECT_EQ(scene.state.lead, 12) << "the run covers every lead";
        const int64_t periodMicros = static_cast<int64_t>(period * 1e6 + 0.5);
        for (const Crossing& c : seen) {
            int h, m, s;
            ASSERT_EQ(sscanf(c.text.c_str(), "%d:%d:%d", &h, &m, &s), 3);
            int64_t due = CounterAt(LocalCalendarTime(h, m, s));
            EXPECT_GE(c.counter - due, -1) << c.text << " period " << period;
            EXPECT_LE(c.counter - due, periodMicros + 1) << c.text << " period " << period;
        }
    }
}
