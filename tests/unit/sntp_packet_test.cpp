// The SNTP packet rules on bytes: which datagrams count as the server's
// reply, the NTP era, the fraction and the carries of the added delay.
#include <gtest/gtest.h>

#include "sntp_packet.h"
#include "sntp_replies.h"

namespace {
using Bytes = std::vector<uint8_t>;
const uint8_t kToken[kSntpTokenSize] = {0x5A, 0x17, 0xC3, 0x08, 0x9E, 0x61, 0xF4, 0x2B};

Bytes Request() {
    Bytes request(kSntpPacketSize);
    BuildSntpRequest(kToken, request.data());
    return request;
}

SntpVerdict Check(const Bytes& datagram, SntpTransmitTime* transmit = nullptr) {
    SntpTransmitTime ignored;
    return CheckSntpReply(datagram.data(), datagram.size(), kToken, fake::kUnix2025Jan01,
                          transmit ? transmit : &ignored);
}

LocalTimeRecord Time(int hour, int minute, int second, int ms) {
    LocalTimeRecord t;
    t.year = 2025, t.month = 12, t.day = 6;
    t.hour = hour, t.minute = minute, t.second = second, t.milliseconds = ms;
    return t;
}
}  // namespace

TEST(SntpPacket, only_an_echo_of_the_token_in_48_bytes_is_the_reply) {
    Bytes request = Request();
    Bytes genuine = fake::ReplyTo(request, {fake::kNtp2025Dec06_123456, 0x12345678});
    SntpTransmitTime transmit;
    ASSERT_EQ(Check(genuine, &transmit), SntpVerdict::Accepted);
    EXPECT_EQ(transmit.seconds, fake::kNtp2025Dec06_123456);
    EXPECT_EQ(transmit.fraction, 0x12345678u);

    Bytes longer = genuine;
    longer.resize(68);
    Bytes oneTokenByteOff = genuine;
    oneTokenByteOff[31] ^= 1;
    for (const Bytes& other : {Bytes(genuine.begin(), genuine.begin() + 40), Bytes(genuine.begin(), genuine.begin() + 47),
                               longer, Bytes(), request, oneTokenByteOff,
                               fake::ReplyTo(Bytes(48, 0), {fake::kNtp2025Dec06_123456, 0}),
                               fake::ReplyTo(Bytes(48, 0), {fake::kNtp2025Dec06_123456, 0, 0, 3})}) {
        EXPECT_EQ(Check(other), SntpVerdict::NotOurs) << "length " << other.size();
    }
}

TEST(SntpPacket, server_side_rejections_of_a_genuine_reply) {
    Bytes request = Request();
    auto reply = [&](uint8_t stratum, uint8_t leap, uint32_t seconds) {
        return Check(fake::ReplyTo(request, {seconds, 0, stratum, leap}));
    };
    const uint32_t s = fake::kNtp2025Dec06_123456;
    EXPECT_EQ(reply(0, 0, s), SntpVerdict::BadStratum);
    EXPECT_EQ(reply(1, 0, s), SntpVerdict::Accepted);
    EXPECT_EQ(reply(15, 0, s), SntpVerdict::Accepted);
    EXPECT_EQ(reply(16, 0, s), SntpVerdict::BadStratum);
    EXPECT_EQ(reply(255, 0, s), SntpVerdict::BadStratum);
    EXPECT_EQ(reply(2, 1, s), SntpVerdict::Accepted);
    EXPECT_EQ(reply(2, 2, s), SntpVerdict::Accepted);
    EXPECT_EQ(reply(2, 3, s), SntpVerdict::Unsynchronised);
    EXPECT_EQ(reply(2, 0, 0), SntpVerdict::NoTransmitTime);
}

TEST(SntpPacket, replies_no_sane_server_sends_are_rejected) {
    Bytes request = Request();
    auto verdict = [&](fake::ReplyFields fields) { return Check(fake::ReplyTo(request, fields)); };
    const uint32_t s = fake::kNtp2025Dec06_123456;
    constexpr uint32_t kOneSecond = 0x10000;  // 16.16 fixed point

    for (uint8_t version : {1, 2, 3, 4}) EXPECT_EQ(verdict({s, 0, 2, 0, version}), SntpVerdict::Accepted);
    for (uint8_t version : {0, 5, 7}) EXPECT_EQ(verdict({s, 0, 2, 0, version}), SntpVerdict::BadVersion);
    for (uint8_t mode : {0, 1, 2, 3, 5, 6, 7})
        EXPECT_EQ(verdict({s, 0, 2, 0, 4, mode}), SntpVerdict::NotServerMode) << int(mode);

    // Root distance = |root delay| / 2 + root dispersion, at most 3 s.
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 2 * kOneSecond, 2 * kOneSecond}), SntpVerdict::Accepted);
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 0, 3 * kOneSecond}), SntpVerdict::Accepted);
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 0, 3 * kOneSecond + 1}), SntpVerdict::FarFromSource);
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 7 * kOneSecond, 0}), SntpVerdict::FarFromSource);
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 0xFFFFFFFFu, 0xFFFFFFFFu}), SntpVerdict::FarFromSource);
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, 0x80000000u, 0}), SntpVerdict::FarFromSource);  // most negative delay
    EXPECT_EQ(verdict({s, 0, 2, 0, 4, 4, static_cast<uint32_t>(-kOneSecond), 0}), SntpVerdict::Accepted);

    // Nothing before the earliest believable time: a server stuck in 2001.
    EXPECT_EQ(verdict({fake::kNtp2001Jan01_000000}), SntpVerdict::BeforeEarliest);
    EXPECT_EQ(verdict({fake::kNtp2001Jan01_000000 + 757382400u - 1}), SntpVerdict::BeforeEarliest);
    EXPECT_EQ(verdict({fake::kNtp2001Jan01_000000 + 757382400u}), SntpVerdict::Accepted);  // 2025-01-01
    EXPECT_EQ(verdict({fake::kNtp2040Feb29_120000}), SntpVerdict::Accepted);
    // The client's own request, bounced back, is neither the server's mode nor its version.
    Bytes echoed = request;
    for (int i = 0; i < 8; ++i) echoed[24 + i] = request[40 + i];
    EXPECT_EQ(Check(echoed), SntpVerdict::NotServerMode);
}

TEST(SntpPacket, compiler_dates_become_midnight_utc) {
    EXPECT_EQ(CompilerDateToUnix("Jan  1 1970"), 0);
    EXPECT_EQ(CompilerDateToUnix("Jul 15 2004"), 1089849600);
    EXPECT_EQ(CompilerDateToUnix("Feb 29 2000"), 951782400);
    EXPECT_EQ(CompilerDateToUnix("Dec  6 2025"), 1764979200);
    EXPECT_EQ(CompilerDateToUnix("Mar  1 2100"), 4107542400);
    for (const char* bad : {"", "??? ?? ????", "Jul 15 04", "Jux 15 2004", "Jul 32 2004", "Jul  0 2004",
                            "Jul 15 1969", "Jul 15 2004 "})
        EXPECT_EQ(CompilerDateToUnix(bad), -1) << bad;
}

TEST(SntpPacket, ntp_seconds_map_to_calendar_seconds_across_the_2036_wrap) {
    EXPECT_EQ(NtpSecondsToUnix(2208988800u), 0);                     // 1970-01-01
    EXPECT_EQ(NtpSecondsToUnix(3155673600u), 946684800);             // 2000-01-01
    EXPECT_EQ(NtpSecondsToUnix(fake::kNtp2025Dec06_123456), 1765024496);
    EXPECT_EQ(NtpSecondsToUnix(0x80000000u), -61505152);             // 1968-01-20 03:14:08
    EXPECT_EQ(NtpSecondsToUnix(0xFFFFFFFFu), 2085978495);            // 2036-02-07 06:28:15
    EXPECT_EQ(NtpSecondsToUnix(0u), 2085978496);                     // one second later
    EXPECT_EQ(NtpSecondsToUnix(fake::kNtp2037Jun01_120000), 2127470400);
    EXPECT_EQ(NtpSecondsToUnix(fake::kNtp2040Feb29_120000), 2214129600);
    EXPECT_EQ(NtpSecondsToUnix(0x7FFFFFFFu), 4233462143);            // 2104-02-26 09:42:23
}

TEST(SntpPacket, fraction_becomes_truncated_milliseconds) {
    EXPECT_EQ(NtpFractionToMilliseconds(0), 0);
    EXPECT_EQ(NtpFractionToMilliseconds(0x80000000u), 500);
    EXPECT_EQ(NtpFractionToMilliseconds(fake::kFractionPoint900), 900);
    EXPECT_EQ(NtpFractionToMilliseconds(fake::kFractionPoint900 - 1), 899);
    EXPECT_EQ(NtpFractionToMilliseconds(0xFFFFFFFFu), 999);
}

TEST(SntpPacket, delay_carries_up_to_the_hour_and_refuses_midnight) {
    LocalTimeRecord t = Time(12, 34, 56, 900);
    EXPECT_TRUE(AddDelayToTime(t, 150));
    EXPECT_EQ(t.second, 57);
    EXPECT_EQ(t.milliseconds, 50);

    t = Time(22, 59, 59, 999);
    EXPECT_TRUE(AddDelayToTime(t, 1));
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.milliseconds, 0);

    t = Time(10, 59, 58, 500);
    EXPECT_TRUE(AddDelayToTime(t, 2000));
    EXPECT_EQ(t.hour, 11);
    EXPECT_EQ(t.minute, 0);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.milliseconds, 500);

    t = Time(23, 59, 59, 849);
    EXPECT_TRUE(AddDelayToTime(t, 150));
    EXPECT_EQ(t.milliseconds, 999);

    t = Time(23, 59, 59, 900);
    EXPECT_FALSE(AddDelayToTime(t, 150));
    EXPECT_EQ(t.day, 6);  // the date is never carried into

    t = Time(0, 0, 0, 0);
    EXPECT_FALSE(AddDelayToTime(t, 0xFFFFFFFFu));  // no field wraps back into range
}
