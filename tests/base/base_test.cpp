#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "base/bytes.h"
#include "base/cformat.h"
#include "base/checksum.h"
#include "base/clock.h"

namespace cvh {
namespace {

TEST(Checksum, SumsBytesAndStoresLeastSignificantFirst) {
    // Stop command: 2 + 2 + 0xA1 + 0xA1 = 0x0146.
    std::array<std::uint8_t, 12> frame{2, 2, 0xA1, 0xA1, 0, 0, 0, 0, 0, 0, 0, 0};
    storeChecksum(frame);
    EXPECT_EQ(frame[10], 0x46);
    EXPECT_EQ(frame[11], 0x01);
    EXPECT_TRUE(checksumMatches(frame));
    std::swap(frame[10], frame[11]);
    EXPECT_FALSE(checksumMatches(frame));
}

TEST(Checksum, TruncatesTo16Bits) {
    std::array<std::uint8_t, 300> bytes{};
    bytes.fill(0xFF);
    EXPECT_EQ(byteSum16(bytes), static_cast<std::uint16_t>(300 * 0xFF));
}

TEST(Bytes, ReadersMatchWriters) {
    std::array<std::uint8_t, 8> b{};
    writeBe32(b, 0, 0x01020304);
    writeLe32(b, 4, 0x01020304);
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[4], 4);
    EXPECT_EQ(readBe32(b, 0), 0x01020304u);
    EXPECT_EQ(readLe32(b, 4), 0x01020304u);
    writeLe16(b, 0, 300);
    EXPECT_EQ(b[0], 0x2C);
    EXPECT_EQ(b[1], 0x01);
    EXPECT_EQ(readLeS16(b, 0), 300);
}

TEST(Bytes, ReaderReportsRunningOutInsteadOfReadingPast) {
    std::array<std::uint8_t, 3> b{1, 2, 3};
    ByteReader r(b);
    EXPECT_EQ(r.le16().value(), 0x0201);
    EXPECT_FALSE(r.le16().has_value());
    EXPECT_TRUE(r.ranOut());
    EXPECT_EQ(r.u8().value(), 3);
    EXPECT_FALSE(r.u8().has_value());
}

TEST(CFormat, MatchesCLibraryOutput) {
    EXPECT_EQ(cformat("COM%1d ", 3), "COM3 ");
    EXPECT_EQ(cformat("%4.2f|%-6ld|%02x", 3.14159, 42L, 10), "3.14|42    |0a");
    const std::string longText(1000, 'x');
    EXPECT_EQ(cformat("%s!", longText.c_str()).size(), 1001u);
}

TEST(Clock, CivilDatesRoundTrip) {
    EXPECT_EQ(daysFromCivil(1970, 1, 1), 0);
    EXPECT_EQ(daysFromCivil(2024, 3, 1) - daysFromCivil(2024, 2, 28), 2);  // leap year
    for (std::int64_t s : {0LL, 951782400LL, 1709251199LL, 4102444800LL}) {
        const CalendarTime t = civilFromSeconds(s);
        EXPECT_EQ(daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 +
                      t.second,
                  s);
    }
    EXPECT_EQ(civilFromSeconds(0).weekday, 4);
}

TEST(Clock, LoggerLocalFormAddsAnHourInDaylightSaving) {
    FixedClock c;
    c.zoneWestSeconds = -36000;  // ten hours east
    c.dst = true;
    EXPECT_EQ(toLoggerTime(c, 1000), 1000 + 36000 + 3600);
    EXPECT_EQ(fromLoggerTime(c, toLoggerTime(c, 1000), true), 1000);
}

TEST(Clock, SystemClockFollowsTheZone) {
    ::setenv("TZ", "Australia/Sydney", 1);
    SystemClock sydney;
    // 2026-12-08 00:00 UTC is summer in Sydney: UTC+11 with daylight saving.
    const std::int64_t instant = daysFromCivil(2026, 12, 8) * 86400;
    EXPECT_TRUE(sydney.localTime(instant).daylightSaving);
    EXPECT_EQ(sydney.timezoneOffsetSeconds(), -36000);
    EXPECT_EQ(toLoggerTime(sydney, instant), instant + 11 * 3600);
    ::setenv("TZ", "UTC", 1);
    SystemClock utc;
    EXPECT_EQ(toLoggerTime(utc, instant), instant);
    ::unsetenv("TZ");
}

}  // namespace
}  // namespace cvh
