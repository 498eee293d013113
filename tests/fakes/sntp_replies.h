// Server replies built by hand for the SNTP client's tests, byte by byte
// after the published header layout, so the client's own packet code is not
// what checks itself.
#pragma once

#include <cstdint>
#include <vector>

namespace fake {

struct ReplyFields {
    uint32_t seconds = 0;   // transmit timestamp, since 1900 modulo 2^32
    uint32_t fraction = 0;
    uint8_t stratum = 2;
    uint8_t leap = 0;
    uint8_t version = 4;
    uint8_t mode = 4;             // server
    uint32_t rootDelay = 0;       // 16.16 fixed point seconds, as sent
    uint32_t rootDispersion = 0;  // likewise
};

inline void PutBigEndian32(std::vector<uint8_t>& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A reply (by default server mode 4, version 4) whose originate timestamp echoes the
// request's transmit timestamp (bytes 40..47), as every server does.
inline std::vector<uint8_t> ReplyTo(const std::vector<uint8_t>& request, const ReplyFields& fields) {
    std::vector<uint8_t> reply(48, 0);
    reply[0] = static_cast<uint8_t>((fields.leap << 6) | (fields.version << 3) | fields.mode);
    reply[1] = fields.stratum;
    PutBigEndian32(reply, 4, fields.rootDelay);
    PutBigEndian32(reply, 8, fields.rootDispersion);
    if (request.size() >= 48) {
        for (int i = 0; i < 8; ++i) reply[24 + i] = request[40 + i];
    }
    PutBigEndian32(reply, 32, fields.seconds);  // receive timestamp, same second
    PutBigEndian32(reply, 40, fields.seconds);
    PutBigEndian32(reply, 44, fields.fraction);
    return reply;
}

// NTP seconds of some fixed moments, from the calendar.
inline constexpr uint32_t kNtp2025Dec06_123456 = 3974013296u;  // 2025-12-06 12:34:56 UTC
inline constexpr uint32_t kNtp2025Dec06_235959 = 3974054399u;  // 2025-12-06 23:59:59 UTC
inline constexpr uint32_t kNtp2037Jun01_120000 = 41491904u;    // 2037-06-01 12:00:00 UTC, second era
inline constexpr uint32_t kNtp2040Feb29_120000 = 128151104u;   // 2040-02-29 12:00:00 UTC, past 32-bit time
inline constexpr uint32_t kNtp2001Jan01_000000 = 3187296000u;  // 2001-01-01 00:00:00 UTC
inline constexpr uint32_t kFractionPoint900 = 0xE6666667u;     // 0.900 s and a hair

// The earliest believable server time the client tests set, so that their
// fixed 2025 replies stay valid whenever the tests are built.
inline constexpr int64_t kUnix2025Jan01 = 1735689600;  // 2025-01-01 00:00:00 UTC

}  // namespace fake
