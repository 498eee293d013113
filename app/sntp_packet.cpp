// Request building, reply checks and timestamp conversion of the SNTP
// client. Everything works on byte arrays in network order, so it runs the
// same on every platform and can be driven by a fuzzer.
#include "sntp_packet.h"

#include <cstring>

namespace {
constexpr int kLeapShift = 6;
constexpr uint8_t kLeapUnsynchronised = 3;
constexpr int kVersionShift = 3;
constexpr uint8_t kVersionMask = 7;
constexpr uint8_t kHighestVersion = 4;
constexpr uint8_t kModeMask = 7;
constexpr uint8_t kModeServer = 4;
constexpr int kShortFractionBits = 16;  // root delay and dispersion are 16.16 fixed point
constexpr size_t kStratumOffset = 1;
constexpr uint8_t kLowestStratum = 1;
constexpr uint8_t kHighestStratum = 15;

constexpr uint32_t kEraSplitBit = 0x80000000u;
constexpr int64_t kSecondsFrom1900To1970 = 2208988800;
constexpr int64_t kSecondsPerNtpEra = int64_t{1} << 32;
constexpr int kFractionBits = 32;
constexpr uint64_t kMillisecondsPerSecond = 1000;

constexpr uint32_t kMillisecondsPerSecondCarry = 1000;
constexpr uint32_t kSecondsPerMinute = 60;
constexpr uint32_t kMinutesPerHour = 60;
constexpr uint32_t kHoursPerDay = 24;
constexpr int kYearBase = 1900;

uint32_t ReadBigEndian32(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

void WriteBigEndian32(uint8_t* bytes, uint32_t value) {
    bytes[0] = static_cast<uint8_t>(value >> 24);
    bytes[1] = static_cast<uint8_t>(value >> 16);
    bytes[2] = static_cast<uint8_t>(value >> 8);
    bytes[3] = static_cast<uint8_t>(value);
}
}  // namespace

void BuildSntpRequest(const uint8_t token[kSntpTokenSize], uint8_t request[kSntpPacketSize]) {
    memset(request, 0, kSntpPacketSize);
    WriteBigEndian32(request, kSntpRequestFirstWord);
    memcpy(request + kSntpTransmitOffset, token, kSntpTokenSize);
}

SntpVerdict CheckSntpReply(const uint8_t* datagram, size_t length,
                           const uint8_t token[kSntpTokenSize], int64_t earliestUnixSeconds,
                           SntpTransmitTime* transmit) {
    if (length != kSntpPacketSize) return SntpVerdict::NotOurs;
    if (memcmp(datagram + kSntpOriginateOffset, token, kSntpTokenSize) != 0) {
        return SntpVerdict::NotOurs;
    }
    if ((datagram[0] >> kLeapShift) == kLeapUnsynchronised) return SntpVerdict::Unsynchronised;
    if ((datagram[0] & kModeMask) != kModeServer) return SntpVerdict::NotServerMode;
    uint8_t version = (datagram[0] >> kVersionShift) & kVersionMask;
    if (version == 0 || version > kHighestVersion) return SntpVerdict::BadVersion;
    uint8_t stratum = datagram[kStratumOffset];
    if (stratum < kLowestStratum || stratum > kHighestStratum) return SntpVerdict::BadStratum;

    // The root delay is signed; a negative one is as far off as a positive.
    int64_t rootDelay = static_cast<int32_t>(ReadBigEndian32(datagram + kSntpRootDelayOffset));
    if (rootDelay < 0) rootDelay = -rootDelay;
    int64_t rootDispersion = ReadBigEndian32(datagram + kSntpRootDispersionOffset);
    int64_t distance = rootDelay / 2 + rootDispersion;  // units of 2^-16 s
    if (distance * static_cast<int64_t>(kMillisecondsPerSecond) >
        (static_cast<int64_t>(kLongestRootDistanceMs) << kShortFractionBits))
        return SntpVerdict::FarFromSource;

    uint32_t seconds = ReadBigEndian32(datagram + kSntpTransmitOffset);
    if (seconds == 0) return SntpVerdict::NoTransmitTime;
    if (NtpSecondsToUnix(seconds) < earliestUnixSeconds) return SntpVerdict::BeforeEarliest;
    transmit->seconds = seconds;
    transmit->fraction = ReadBigEndian32(datagram + kSntpTransmitOffset + 4);
    return SntpVerdict::Accepted;
}

int64_t CompilerDateToUnix(const char* date) {
    static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    if (date == nullptr || strlen(date) != 11 || date[3] != ' ' || date[6] != ' ') return -1;
    int month = -1;
    for (int m = 0; m < 12; ++m) {
        if (memcmp(date, kMonths + 3 * m, 3) == 0) month = m + 1;
    }
    auto digit = [](char c) { return c >= '0' && c <= '9' ? c - '0' : -1; };
    int dayTens = date[4] == ' ' ? 0 : digit(date[4]);
    int dayOnes = digit(date[5]);
    int year = 0;
    for (int i = 7; i < 11; ++i) {
        if (digit(date[i]) < 0) return -1;
        year = year * 10 + digit(date[i]);
    }
    int day = dayTens * 10 + dayOnes;
    if (month < 0 || dayTens < 0 || dayOnes < 0 || day < 1 || day > 31 || year < 1970) return -1;
    // Days since 1970-01-01 of a Gregorian date, with years counted from
    // March so that the leap day ends the year; the calendar repeats every
    // 400 years of 146097 days.
    constexpr int kYearsPerCycle = 400;
    constexpr int kDaysPerCycle = 146097;
    constexpr int kDaysFromYearZeroToEpoch = 719468;  // 0000-03-01 to 1970-01-01
    constexpr int64_t kSecondsPerDay = 86400;
    int y = year - (month <= 2 ? 1 : 0);
    int cycle = y / kYearsPerCycle;
    int yearOfCycle = y - cycle * kYearsPerCycle;
    int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    int dayOfCycle = yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100 + dayOfYear;
    int64_t days = static_cast<int64_t>(cycle) * kDaysPerCycle + dayOfCycle - kDaysFromYearZeroToEpoch;
    return days * kSecondsPerDay;
}

int64_t NtpSecondsToUnix(uint32_t ntpSeconds) {
    int64_t sinceEraStart = static_cast<int64_t>(ntpSeconds);
    if ((ntpSeconds & kEraSplitBit) == 0) sinceEraStart += kSecondsPerNtpEra;
    return sinceEraStart - kSecondsFrom1900To1970;
}

uint16_t NtpFractionToMilliseconds(uint32_t fraction) {
    return static_cast<uint16_t>((uint64_t{fraction} * kMillisecondsPerSecond) >> kFractionBits);
}

LocalTimeRecord MakeLocalTimeRecord(const std::tm& local, uint16_t milliseconds) {
    LocalTimeRecord record;
    record.year = static_cast<uint16_t>(local.tm_year + kYearBase);
    record.month = static_cast<uint16_t>(local.tm_mon + 1);
    record.day = static_cast<uint16_t>(local.tm_mday);
    record.hour = static_cast<uint16_t>(local.tm_hour);
    record.minute = static_cast<uint16_t>(local.tm_min);
    record.second = static_cast<uint16_t>(local.tm_sec);
    record.milliseconds = milliseconds;
    return record;
}

bool AddDelayToTime(LocalTimeRecord& time, uint32_t delayMs) {
    // Summed in 32 bits so that no field can wrap back below its limit.
    uint32_t milliseconds = uint32_t{time.milliseconds} + delayMs;
    uint32_t seconds = uint32_t{time.second} + milliseconds / kMillisecondsPerSecondCarry;
    uint32_t minutes = uint32_t{time.minute} + seconds / kSecondsPerMinute;
    uint32_t hours = uint32_t{time.hour} + minutes / kMinutesPerHour;
    time.milliseconds = static_cast<uint16_t>(milliseconds % kMillisecondsPerSecondCarry);
    time.second = static_cast<uint16_t>(seconds % kSecondsPerMinute);
    time.minute = static_cast<uint16_t>(minutes % kMinutesPerHour);
    constexpr uint32_t kLargestField = 0xFFFF;
    time.hour = static_cast<uint16_t>(hours > kLargestField ? kLargestField : hours);
    return hours < kHoursPerDay;
}
