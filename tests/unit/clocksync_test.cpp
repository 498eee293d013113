// The SNTP client's start-up steps and failures over the scripted sockets
// fake: when a socket is opened at all, which host is asked, and that every
// end of an exchange closes what it opened.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "clocksync.h"
#include "crtrand.h"
#include "fake_sockets.h"
#include "manual_clock.h"
#include "recording_clock_setter.h"
#include "settings_catalogue.h"
#include "sntp_replies.h"
#include "test_support.h"

namespace {
bool ConvertAsUtc(int64_t seconds, std::tm* local) {
    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm* converted = std::gmtime(&time);
    if (!converted) return false;
    *local = *converted;
    return true;
}

class ClockSyncTest : public CoreTest {
protected:
    fake::ScopedManualClock clock;

    void SetUp() override {
        CoreTest::SetUp();
        fake::FakeSockets() = fake::Sockets();
        fake::RecordingClockSetter() = fake::ClockSetter();
        RearmClockSync();
        fake::FakeSockets() = fake::Sockets();  // forget the rearm's own cleanup
        SetSntpServerPort(kSntpPort);
        SetLocalTimeConversion(ConvertAsUtc);
        SetEarliestServerTime(fake::kUnix2025Jan01);
        SyncClock.Set(1);
        SntpServer.Set("");
    }
    void TearDown() override {
        StopClockSync();
        SetEarliestServerTime(-1);
        SyncClock.Set(0);
        SetLocalTimeConversion(nullptr);
        CoreTest::TearDown();
    }

    void ExpectNothingLeftOpen() {
        EXPECT_FALSE(ClockSyncWaiting());
        EXPECT_FALSE(fake::FakeSockets().SocketOpen());
        EXPECT_EQ(fake::FakeSockets().libraryStarts, fake::FakeSockets().libraryEnds);
    }
};

// The first draw after SeedRandom(seed), by the C runtime's formula.
int FirstDraw(uint32_t seed) { return static_cast<int>(((seed * 214013u + 2531011u) >> 16) & 0x7FFF); }
}  // namespace

TEST_F(ClockSyncTest, sync_clock_off_opens_no_socket) {
    SyncClock.Set(0);
    StartClockSync();
    EXPECT_FALSE(PollClockSync());
    EXPECT_EQ(fake::FakeSockets().libraryStarts, 0);
    EXPECT_EQ(fake::FakeSockets().opened, 0);
    EXPECT_EQ(fake::FakeSockets().receives, 0);
}

TEST_F(ClockSyncTest, empty_server_setting_picks_a_built_in_server_by_the_generator) {
    // Seeds whose first draws leave each remainder of 5 once, and a second
    // seed for remainder 0.
    std::map<int, std::string> hostByRemainder;
    for (uint32_t seed = 1; hostByRemainder.size() < 5 || seed < 40; ++seed) {
        SeedRandom(seed);
        RearmClockSync();
        fake::FakeSockets() = fake::Sockets();
        StartClockSync();
        ASSERT_EQ(fake::FakeSockets().lookups.size(), 1u);
        const std::string& host = fake::FakeSockets().lookups[0];
        EXPECT_FALSE(host.empty());
        auto [it, fresh] = hostByRemainder.emplace(FirstDraw(seed) % 5, host);
        EXPECT_EQ(it->second, host) << "seed " << seed;
        ExpectNothingLeftOpen();  // the fake knows no host: the exchange ends at once
    }
    std::set<std::string> distinct;
    for (const auto& entry : hostByRemainder) distinct.insert(entry.second);
    EXPECT_EQ(distinct.size(), 5u);
}

TEST_F(ClockSyncTest, configured_host_is_used_verbatim_and_draws_nothing) {
    SntpServer.Set("time.lan.example");
    fake::FakeSockets().knownHosts = {{"time.lan.example", fake::Ipv4(10, 0, 0, 5)}};
    SeedRandom(7);
    StartClockSync();
    EXPECT_EQ(Random(), FirstDraw(7));
    EXPECT_EQ(fake::FakeSockets().lookups, std::vector<std::string>{"time.lan.example"});
    EXPECT_TRUE(fake::FakeSockets().parses.empty());
    EXPECT_EQ(fake::FakeSockets().connectedAddress, fake::Ipv4(10, 0, 0, 5));
    EXPECT_EQ(fake::FakeSockets().connectedPort, 123);
    EXPECT_EQ(fake::FakeSockets().sent.size(), 1u);
    EXPECT_TRUE(ClockSyncWaiting());
}

TEST_F(ClockSyncTest, dotted_address_is_parsed_when_the_lookup_finds_nothing) {
    SntpServer.Set("192.168.1.20");
    StartClockSync();
    EXPECT_EQ(fake::FakeSockets().parses, std::vector<std::string>{"192.168.1.20"});
    EXPECT_EQ(fake::FakeSockets().connectedAddress, fake::Ipv4(192, 168, 1, 20));
    EXPECT_EQ(fake::FakeSockets().sent.size(), 1u);

    RearmClockSync();
    fake::FakeSockets() = fake::Sockets();
    SntpServer.Set("255.255.255.255");  // the parser's own "no address"
    StartClockSync();
    EXPECT_TRUE(fake::FakeSockets().sent.empty());
    ExpectNothingLeftOpen();
}

TEST_F(ClockSyncTest, every_failed_step_ends_quietly_and_closes_what_it_opened) {
    SntpServer.Set("10.1.2.3");
    struct Failure {
        bool fake::Sockets::*step;
        size_t requestsSent;
    } failures[] = {{&fake::Sockets::startFails, 0},   {&fake::Sockets::openFails, 0},
                    {&fake::Sockets::nonBlockingFails, 0}, {&fake::Sockets::connectFails, 0},
                    {&fake::Sockets::randomFails, 0},  {&fake::Sockets::sendFails, 1}};
    for (const Failure& failure : failures) {
        SCOPED_TRACE(&failure - failures);
        RearmClockSync();
        fake::FakeSockets() = fake::Sockets();
        fake::FakeSockets().*failure.step = true;
        StartClockSync();
        EXPECT_FALSE(PollClockSync());
        ExpectNothingLeftOpen();
        EXPECT_EQ(fake::FakeSockets().sent.size(), failure.requestsSent);
    }
}

TEST_F(ClockSyncTest, receive_error_ends_and_waiting_costs_one_receive_per_poll) {
    SntpServer.Set("10.1.2.3");
    StartClockSync();
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(PollClockSync());
    EXPECT_EQ(fake::FakeSockets().receives, 5);
    EXPECT_GT(fake::FakeSockets().lastReceiveCapacity, 48u);

    fake::FakeSockets().incoming.push_back({ReceiveResult::Failed, {}});
    EXPECT_FALSE(PollClockSync());
    ExpectNothingLeftOpen();
    EXPECT_FALSE(PollClockSync());
    EXPECT_EQ(fake::FakeSockets().receives, 6);
}

TEST_F(ClockSyncTest, wrapped_tick_and_a_second_run_set_nothing) {
    SntpServer.Set("10.1.2.3");
    clock.clock.tickMs = 0xFFFFFF00u;
    StartClockSync();
    clock.clock.tickMs = 0x40;  // wrapped during the round trip
    fake::FakeSockets().incoming.push_back(
        {ReceiveResult::Datagram, fake::ReplyTo(fake::FakeSockets().sent[0], {fake::kNtp2025Dec06_123456, 0})});
    EXPECT_FALSE(PollClockSync());
    EXPECT_TRUE(fake::RecordingClockSetter().requests.empty());
    ExpectNothingLeftOpen();

    StartClockSync();  // the run had its one exchange
    EXPECT_EQ(fake::FakeSockets().sent.size(), 1u);
}
