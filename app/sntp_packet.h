// The SNTP packet on bytes: building the 48-byte request around a random
// token, checking a received datagram against it, and turning the server's
// transmit timestamp into calendar time. Pure functions; the exchange itself
// (sockets, timing, setting the clock) is in clocksync.cpp.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

#include "platform/clockset.h"

inline constexpr size_t kSntpPacketSize = 48;
inline constexpr size_t kSntpTokenSize = 8;

// The request's first byte: leap 0, version 1, mode 3 (client).
inline constexpr uint32_t kSntpRequestFirstWord = 0x0B000000u;

inline constexpr size_t kSntpRootDelayOffset = 4;
inline constexpr size_t kSntpRootDispersionOffset = 8;
inline constexpr size_t kSntpOriginateOffset = 24;
inline constexpr size_t kSntpTransmitOffset = 40;

// Leap 0, version 1, mode 3, and the token as the transmit timestamp; every
// other byte is zero. The server copies the token into its originate
// timestamp, which is how its reply is told from a forged one.
void BuildSntpRequest(const uint8_t token[kSntpTokenSize], uint8_t request[kSntpPacketSize]);

enum class SntpVerdict {
    Accepted,
    NotOurs,          // not 48 bytes, or the originate timestamp does not echo the token
    Unsynchronised,   // leap indicator 3
    NotServerMode,    // mode other than 4 (server)
    BadVersion,       // version 0, or above 4
    BadStratum,       // outside 1..15
    FarFromSource,    // root delay / 2 + root dispersion above kLongestRootDistanceMs
    NoTransmitTime,   // transmit seconds 0
    BeforeEarliest,   // a time before the earliest the caller will believe
};

// A server whose own distance from its reference clock is larger than this
// cannot tell the time to better than a few seconds; it is not used.
inline constexpr uint32_t kLongestRootDistanceMs = 3000;

struct SntpTransmitTime {
    uint32_t seconds = 0;   // since 1900-01-01 00:00 UTC, modulo 2^32
    uint32_t fraction = 0;  // units of 2^-32 s
};

// Checks one received datagram of length bytes. A datagram that is NotOurs
// says nothing about the server and must be ignored; the other rejections
// come from the server itself. A transmit time before earliestUnixSeconds
// (calendar seconds since 1970) is rejected: no correct server can answer
// with a time before the program was built. transmit is filled only when
// Accepted.
SntpVerdict CheckSntpReply(const uint8_t* datagram, size_t length,
                           const uint8_t token[kSntpTokenSize], int64_t earliestUnixSeconds,
                           SntpTransmitTime* transmit);

// Calendar seconds of 00:00 UTC on a date spelt as the compiler's __DATE__
// spells it ("Jul 15 2004", the day padded with a blank); -1 when the text is
// not such a date.
int64_t CompilerDateToUnix(const char* date);

// Seconds since 1970-01-01 UTC. The 32-bit NTP seconds wrap on
// 2036-02-07 06:28:16 UTC: a value with the top bit set counts from 1900,
// one with it clear from that wrap, which covers 1968 to 2104.
int64_t NtpSecondsToUnix(uint32_t ntpSeconds);

// The whole milliseconds of a 2^-32 s fraction, 0..999, truncated.
uint16_t NtpFractionToMilliseconds(uint32_t fraction);

// The record for a local calendar time and its milliseconds; the day of the
// week is left 0.
LocalTimeRecord MakeLocalTimeRecord(const std::tm& local, uint16_t milliseconds);

// Adds delayMs to the record with carries from the milliseconds up to the
// hours; the date is never touched. True when the hour stays below 24, so a
// correction that would cross midnight can be skipped instead.
bool AddDelayToTime(LocalTimeRecord& time, uint32_t delayMs);
