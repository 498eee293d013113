// The SNTP exchange through this platform's real sockets against a scripted
// peer on 127.0.0.1. The round trip is played by the manual clock, the
// clock setter only records, and the process runs in a fixed zone two hours
// east of UTC so the local conversion shows.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "clocksync.h"
#include "manual_clock.h"
#include "memory_registry.h"
#include "recording_clock_setter.h"
#include "scripted_udp_peer.h"
#include "settings_catalogue.h"
#include "sntp_replies.h"

namespace {
using fake::ReplyFields;
using fake::ReplyTo;
using Bytes = std::vector<uint8_t>;

constexpr uint32_t kSendTick = 5000;
constexpr int kRequestWaitMs = 2000;

class LoopbackExchange : public ::testing::Test {
protected:
    fake::ScopedManualClock clock;
    ScriptedUdpPeer peer;
    Bytes request;

    void SetUp() override {
        ASSERT_TRUE(peer.Ready());
        fake::Registry().Clear();
        fake::RecordingClockSetter() = fake::ClockSetter();
        RearmClockSync();
        SyncClock.Set(1);
        SntpServer.Set("127.0.0.1");
        SetSntpServerPort(peer.Port());
        SetEarliestServerTime(fake::kUnix2025Jan01);
        StartExchange();
    }
    void TearDown() override {
        StopClockSync();
        SetEarliestServerTime(-1);
        SyncClock.Set(0);
    }

    // Starts an exchange at kSendTick and takes its request off the peer.
    void StartExchange() {
        clock.clock.tickMs = kSendTick;
        StartClockSync();
        ASSERT_TRUE(peer.ReceiveRequest(&request, kRequestWaitMs));
    }

    // The next exchange of the same run, once the last one has ended.
    void StartAnotherExchange() {
        RearmClockSync();
        StartExchange();
    }

    // Polls frame after frame at the given round trip until the client
    // reports the correction or gives up the exchange; the datagrams are on
    // the loopback, so a few milliseconds are plenty.
    bool PollAt(uint32_t roundTripMs, int frames = 200) {
        clock.clock.tickMs = kSendTick + roundTripMs;
        for (int i = 0; i < frames; ++i) {
            if (PollClockSync()) return true;
            if (!ClockSyncWaiting()) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    const std::vector<LocalTimeRecord>& Sets() { return fake::RecordingClockSetter().requests; }
};

void ExpectTime(const LocalTimeRecord& t, int year, int month, int day, int hour, int minute, int second,
                int ms) {
    EXPECT_EQ(t.year, year);
    EXPECT_EQ(t.month, month);
    EXPECT_EQ(t.day, day);
    EXPECT_EQ(t.hour, hour);
    EXPECT_EQ(t.minute, minute);
    EXPECT_EQ(t.second, second);
    EXPECT_EQ(t.milliseconds, ms);
}
}  // namespace

TEST_F(LoopbackExchange, request_is_one_client_datagram_carrying_a_random_token) {
    ASSERT_EQ(request.size(), 48u);
    EXPECT_EQ(request[0], 0x0B);
    for (size_t i = 1; i < 40; ++i) EXPECT_EQ(request[i], 0) << "byte " << i;
    EXPECT_NE(Bytes(request.begin() + 40, request.end()), Bytes(8, 0));

    // A second start in the same run sends nothing.
    StartClockSync();
    Bytes again;
    EXPECT_FALSE(peer.ReceiveRequest(&again, 100));
}

TEST_F(LoopbackExchange, good_reply_sets_local_time_plus_half_the_round_trip_once) {
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_123456, fake::kFractionPoint900}));
    EXPECT_TRUE(PollAt(300));
    ASSERT_EQ(Sets().size(), 1u);
    ExpectTime(Sets()[0], 2025, 12, 6, 14, 34, 57, 50);  // 14:34:56.900 + 150 ms
    EXPECT_FALSE(ClockSyncWaiting());
    EXPECT_FALSE(PollClockSync());
}

TEST_F(LoopbackExchange, reply_after_3_9_s_is_used_and_after_4_1_s_is_not) {
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_123456, 0}));
    EXPECT_TRUE(PollAt(3900));
    ASSERT_EQ(Sets().size(), 1u);
    ExpectTime(Sets()[0], 2025, 12, 6, 14, 34, 57, 950);

    ASSERT_NO_FATAL_FAILURE(StartAnotherExchange());
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_123456, 0}));
    EXPECT_FALSE(PollAt(4100));
    EXPECT_FALSE(ClockSyncWaiting());
    EXPECT_EQ(Sets().size(), 1u);
}

TEST_F(LoopbackExchange, server_that_is_not_synchronised_ends_the_exchange_unset) {
    struct Case {
        uint8_t stratum, leap;
        uint32_t seconds;
        bool sets;
    } cases[] = {
        {0, 0, fake::kNtp2025Dec06_123456, false}, {1, 0, fake::kNtp2025Dec06_123456, true},
        {15, 0, fake::kNtp2025Dec06_123456, true}, {16, 0, fake::kNtp2025Dec06_123456, false},
        {2, 3, fake::kNtp2025Dec06_123456, false}, {2, 0, 0, false},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "stratum " << int(c.stratum) << " leap " << int(c.leap)
                                        << " seconds " << c.seconds);
        if (!first) ASSERT_NO_FATAL_FAILURE(StartAnotherExchange());
        first = false;
        size_t before = Sets().size();
        peer.Send(ReplyTo(request, {c.seconds, 0, c.stratum, c.leap}));
        EXPECT_EQ(PollAt(20), c.sets);
        EXPECT_EQ(Sets().size(), before + (c.sets ? 1 : 0));
        EXPECT_FALSE(ClockSyncWaiting());
    }
}

TEST_F(LoopbackExchange, nonsense_from_a_genuine_server_ends_the_exchange_unset) {
    // The program's own build date is the floor here, as in the saver: a
    // server in 2001 is refused, one at the real present is believed.
    SetEarliestServerTime(-1);
    // Noon UTC today: never before the build, never near midnight here.
    const int64_t today = std::time(nullptr) / 86400 * 86400;
    const uint32_t now = static_cast<uint32_t>(today + 43200 + 2208988800LL);
    struct Case {
        const char* what;
        ReplyFields fields;
        bool sets;
    } cases[] = {
        {"a time before the program was built", {fake::kNtp2001Jan01_000000}, false},
        {"client mode", {now, 0, 2, 0, 4, 3}, false},
        {"version 0", {now, 0, 2, 0, 0}, false},
        {"root dispersion of 10 s", {now, 0, 2, 0, 4, 4, 0, 10 << 16}, false},
        {"the present", {now}, true},
    };
    bool first = true;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!first) ASSERT_NO_FATAL_FAILURE(StartAnotherExchange());
        first = false;
        peer.Send(ReplyTo(request, c.fields));
        EXPECT_EQ(PollAt(20), c.sets);
        EXPECT_EQ(Sets().size(), c.sets ? 1u : 0u);
        EXPECT_FALSE(ClockSyncWaiting());
    }
}

TEST_F(LoopbackExchange, datagrams_that_are_not_the_reply_are_dropped_and_the_genuine_one_wins) {
    Bytes genuine = ReplyTo(request, {fake::kNtp2025Dec06_123456, 0});
    Bytes wrongToken = ReplyTo(Bytes(48, 0x33), {fake::kNtp2037Jun01_120000, 0});
    Bytes zeroToken = ReplyTo(Bytes(48, 0), {fake::kNtp2037Jun01_120000, 0});
    Bytes kissOfDeath = ReplyTo(Bytes(48, 0x44), {fake::kNtp2025Dec06_123456, 0, 0});
    Bytes withAuthenticator = genuine;
    withAuthenticator.resize(68, 0xAA);
    const Bytes junk[] = {wrongToken, zeroToken, kissOfDeath, request,  // the request reflected
                          Bytes(genuine.begin(), genuine.begin() + 40), Bytes(genuine.begin(), genuine.begin() + 47),
                          withAuthenticator, Bytes(200, 0x55), Bytes()};
    for (const Bytes& datagram : junk) ASSERT_TRUE(peer.Send(datagram));

    // The forged and odd datagrams alone neither set the clock nor end the wait.
    EXPECT_FALSE(PollAt(100, 50));
    EXPECT_TRUE(ClockSyncWaiting());
    EXPECT_TRUE(Sets().empty());

    peer.Send(genuine);
    EXPECT_TRUE(PollAt(100));
    ASSERT_EQ(Sets().size(), 1u);
    ExpectTime(Sets()[0], 2025, 12, 6, 14, 34, 56, 50);
}

TEST_F(LoopbackExchange, delay_limit_still_applies_to_a_genuine_reply_after_forged_ones) {
    peer.Send(ReplyTo(Bytes(48, 0x33), {fake::kNtp2025Dec06_123456, 0}));
    EXPECT_FALSE(PollAt(1000, 50));
    EXPECT_TRUE(ClockSyncWaiting());
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_123456, 0}));
    EXPECT_FALSE(PollAt(4100));
    EXPECT_FALSE(ClockSyncWaiting());
    EXPECT_TRUE(Sets().empty());
}

TEST_F(LoopbackExchange, no_reply_keeps_every_poll_false_until_shutdown_closes_the_socket) {
    for (int frame = 0; frame < 300; ++frame) {
        clock.clock.tickMs += 16;
        ASSERT_FALSE(PollClockSync());
    }
    EXPECT_TRUE(ClockSyncWaiting());
    StopClockSync();
    EXPECT_FALSE(ClockSyncWaiting());
    EXPECT_FALSE(PollClockSync());
    EXPECT_TRUE(Sets().empty());
}

TEST_F(LoopbackExchange, correction_that_would_cross_midnight_is_skipped) {
    // 21:59:59.900 UTC is 23:59:59.900 here; 150 ms more would be 24:00:00.050.
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_235959 - 2 * 3600, fake::kFractionPoint900}));
    EXPECT_FALSE(PollAt(300));
    EXPECT_FALSE(ClockSyncWaiting());
    EXPECT_TRUE(Sets().empty());
}

TEST_F(LoopbackExchange, server_times_after_the_2036_and_2038_wraps_give_the_right_dates) {
    peer.Send(ReplyTo(request, {fake::kNtp2037Jun01_120000, 0}));
    EXPECT_TRUE(PollAt(0));

    RearmClockSync();
    StartClockSync();
    ASSERT_TRUE(peer.ReceiveRequest(&request, kRequestWaitMs));
    peer.Send(ReplyTo(request, {fake::kNtp2040Feb29_120000, 0}));
    EXPECT_TRUE(PollAt(0));

    ASSERT_EQ(Sets().size(), 2u);
    ExpectTime(Sets()[0], 2037, 6, 1, 14, 0, 0, 0);
    ExpectTime(Sets()[1], 2040, 2, 29, 14, 0, 0, 0);
}

TEST_F(LoopbackExchange, refused_clock_set_reports_false_and_ends_the_exchange) {
    fake::RecordingClockSetter().succeeds = false;
    peer.Send(ReplyTo(request, {fake::kNtp2025Dec06_123456, 0}));
    EXPECT_FALSE(PollAt(10));
    EXPECT_EQ(Sets().size(), 1u);
    EXPECT_FALSE(ClockSyncWaiting());
    StartClockSync();
    EXPECT_FALSE(peer.ReceiveRequest(&request, 100));
}

TEST(LoopbackNames, host_name_from_the_hosts_file_reaches_the_peer) {
    fake::ScopedManualClock clock;
    ScriptedUdpPeer peer;
    ASSERT_TRUE(peer.Ready());
    RearmClockSync();
    SyncClock.Set(1);
    SntpServer.Set("localhost");
    SetSntpServerPort(peer.Port());
    StartClockSync();
    Bytes request;
    EXPECT_TRUE(peer.ReceiveRequest(&request, kRequestWaitMs));
    StopClockSync();
    SyncClock.Set(0);
}

int main(int argc, char** argv) {
    // UTC+2 without daylight saving, for both C libraries.
#ifdef _WIN32
    _putenv("TZ=XXX-2");
    _tzset();
#else
    setenv("TZ", "XXX-2", 1);
    tzset();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
