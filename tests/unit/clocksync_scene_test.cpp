// The clock correction as the running scene shows it, with the real SNTP
// client over the scripted sockets and the recording clock setter: the
// flying times in flight go, and the next second brings "Clock Corrected".
#include <gtest/gtest.h>

#include <algorithm>

#include "clocksync.h"
#include "fake_sockets.h"
#include "glview.h"
#include "recording_clock_setter.h"
#include "scene_support.h"
#include "settings_catalogue.h"
#include "sntp_replies.h"

namespace {
class ClockSyncSceneTest : public scenetest::SceneTest {
protected:
    void SetUp() override {
        SceneTest::SetUp();
        clockSyncCalls = RealClockSyncCalls();
        fake::FakeSockets() = fake::Sockets();
        fake::RecordingClockSetter() = fake::ClockSetter();
        RearmClockSync();
        fake::FakeSockets() = fake::Sockets();
        SetSntpServerPort(kSntpPort);
        SetEarliestServerTime(fake::kUnix2025Jan01);
        SntpServer.Set("10.1.2.3");
    }
    void TearDown() override {
        StopClockSync();
        SetEarliestServerTime(-1);
        SyncClock.Set(0);
        SntpServer.Set("");
        SceneTest::TearDown();
    }

    static bool Shows(const char* text) {
        auto texts = Texts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
};
}  // namespace

TEST_F(ClockSyncSceneTest, accepted_reply_clears_the_flight_and_announces_the_correction) {
    SyncClock.Set(1);
    SetLocalTime(12, 0, 0, 0.5);
    StartView();
    ASSERT_EQ(fake::FakeSockets().sent.size(), 1u);
    for (int i = 0; i < 150; ++i) Frame(0.02);  // three seconds of flight
    ASSERT_FALSE(Texts().empty());
    EXPECT_FALSE(Shows(kClockCorrectedText));

    fake::FakeSockets().incoming.push_back(
        {ReceiveResult::Datagram, fake::ReplyTo(fake::FakeSockets().sent[0], {fake::kNtp2025Dec06_123456, 0})});
    Frame(0.02);  // the correction frame spawns nothing
    EXPECT_EQ(fake::RecordingClockSetter().requests.size(), 1u);
    Frame(0.02);
    EXPECT_TRUE(Texts().empty());

    for (int i = 0; i < 50 && !Shows(kClockCorrectedText); ++i) Frame(0.02);
    EXPECT_EQ(Texts(), std::vector<std::string>{kClockCorrectedText});

    // Only that one object reads so; the next second shows a time again.
    for (int i = 0; i < 50; ++i) Frame(0.02);
    auto texts = Texts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), std::string(kClockCorrectedText)), 1);
    EXPECT_GE(texts.size(), 2u);
}

TEST_F(ClockSyncSceneTest, sync_clock_off_never_touches_the_network) {
    SyncClock.Set(0);
    StartView();
    for (int i = 0; i < 100; ++i) Frame(0.02);
    GlViewOnDestroy();
    EXPECT_EQ(fake::FakeSockets().libraryStarts, 0);
    EXPECT_EQ(fake::FakeSockets().opened, 0);
    EXPECT_EQ(fake::FakeSockets().receives, 0);
}
