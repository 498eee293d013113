// Fuzz target: any datagram through the SNTP reply check and, when it is
// accepted, through the conversion to a local time record and the added
// delay. Nothing may read past the datagram, and every record that passes
// the midnight check must be a valid time of day.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>

#include "sntp_packet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The first 8 bytes are the request's token, the next 2 the one-way
    // delay, the rest the datagram.
    constexpr size_t kHeader = kSntpTokenSize + 2;
    if (size < kHeader) return 0;
    const uint8_t* token = data;
    uint32_t delayMs = (uint32_t{data[8]} << 8 | data[9]) % 2001;
    const uint8_t* datagram = data + kHeader;
    size_t length = size - kHeader;

    SntpTransmitTime transmit;
    constexpr int64_t kEarliestBelieved = 1735689600;  // 2025-01-01 00:00:00 UTC
    SntpVerdict verdict = CheckSntpReply(datagram, length, token, kEarliestBelieved, &transmit);
    if (verdict != SntpVerdict::Accepted) return 0;
    if (length != kSntpPacketSize || transmit.seconds == 0) abort();
    if ((datagram[0] & 7) != 4 || ((datagram[0] >> 3) & 7) == 0 || ((datagram[0] >> 3) & 7) > 4) abort();

    int64_t seconds = NtpSecondsToUnix(transmit.seconds);
    if (seconds < kEarliestBelieved) abort();
    constexpr int64_t kEarliest = -61505152;   // 1968-01-20 03:14:08 UTC
    constexpr int64_t kLatest = 4233462143;    // 2104-02-26 09:42:23 UTC
    if (seconds < kEarliest || seconds > kLatest) abort();
    uint16_t milliseconds = NtpFractionToMilliseconds(transmit.fraction);
    if (milliseconds > 999) abort();

    std::time_t time = static_cast<std::time_t>(seconds);
    std::tm* utc = std::gmtime(&time);
    if (!utc) return 0;
    LocalTimeRecord record = MakeLocalTimeRecord(*utc, milliseconds);
    if (AddDelayToTime(record, delayMs)) {
        if (record.hour > 23 || record.minute > 59 || record.second > 59 || record.milliseconds > 999) abort();
    }
    return 0;
}
