// The Linux clock setter's reading of a local time record under a zone with
// summer time: ordinary times, both readings of the repeated autumn hour,
// and the skipped spring hour.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

#include "posix_localtime.h"

namespace {
// 2025-10-26: Berlin goes from 03:00 summer time back to 02:00 standard
// time at 01:00 UTC, so 02:30 local is first 00:30 UTC, then 01:30 UTC.
constexpr time_t kFirstHalfPastTwo = 1761438600;   // 2025-10-26 00:30:00 UTC
constexpr time_t kSecondHalfPastTwo = 1761442200;  // 2025-10-26 01:30:00 UTC

LocalTimeRecord Record(int year, int month, int day, int hour, int minute, int second) {
    LocalTimeRecord r;
    r.year = static_cast<uint16_t>(year);
    r.month = static_cast<uint16_t>(month);
    r.day = static_cast<uint16_t>(day);
    r.hour = static_cast<uint16_t>(hour);
    r.minute = static_cast<uint16_t>(minute);
    r.second = static_cast<uint16_t>(second);
    return r;
}

class BerlinTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = getenv("TZ");
        hadZone = old != nullptr;
        if (old) oldZone = old;
        setenv("TZ", "Europe/Berlin", 1);
        tzset();
    }
    void TearDown() override {
        if (hadZone) setenv("TZ", oldZone.c_str(), 1); else unsetenv("TZ");
        tzset();
    }
    bool hadZone = false;
    std::string oldZone;
};

TEST_F(BerlinTime, RepeatedHourIsReadAsTheOneNearerTheClock) {
    time_t seconds = 0;
    LocalTimeRecord halfPastTwo = Record(2025, 10, 26, 2, 30, 0);
    // A clock a few seconds off, in either reading of the hour.
    ASSERT_TRUE(LocalRecordToCalendarSeconds(halfPastTwo, kFirstHalfPastTwo - 3, &seconds));
    EXPECT_EQ(seconds, kFirstHalfPastTwo);
    ASSERT_TRUE(LocalRecordToCalendarSeconds(halfPastTwo, kSecondHalfPastTwo + 3, &seconds));
    EXPECT_EQ(seconds, kSecondHalfPastTwo);
}

TEST_F(BerlinTime, OrdinaryTimesInSummerAndWinter) {
    time_t seconds = 0;
    ASSERT_TRUE(LocalRecordToCalendarSeconds(Record(2025, 7, 1, 12, 0, 0), 0, &seconds));
    EXPECT_EQ(seconds, 1751364000);  // 10:00 UTC
    ASSERT_TRUE(LocalRecordToCalendarSeconds(Record(2025, 12, 31, 23, 59, 59), 0, &seconds));
    EXPECT_EQ(seconds, 1767221999);  // 22:59:59 UTC
}

TEST_F(BerlinTime, SkippedSpringHourIsRefused) {
    time_t seconds = 12345;
    // 2025-03-30 02:00 to 03:00 does not exist in Berlin.
    EXPECT_FALSE(LocalRecordToCalendarSeconds(Record(2025, 3, 30, 2, 30, 0), 1743298200, &seconds));
    EXPECT_EQ(seconds, 12345);
}
}  // namespace
