#include "files/clock_audit_log.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/temp_dir.h"

namespace cvh {
namespace {

std::string readAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

const std::int64_t kNoonUtc = daysFromCivil(2024, 12, 8) * 86400 + 12 * 3600;

struct ZoneCase {
    const char* name;
    std::int64_t zoneWestSeconds;
    bool dst;
    const char* line;
};

TEST(ClockLogLine, LocalTimesWithTheirOffsetAndASignedDrift) {
    const ZoneCase cases[] = {
        {"UTC", 0, false, "2024-12-08T12:00:00+00:00 417 2024-12-08T11:59:53+00:00 -7 set\n"},
        // Sydney in December: standard +10:00, daylight saving in force.
        {"Sydney summer", -36000, true,
         "2024-12-08T23:00:00+11:00 417 2024-12-08T22:59:53+11:00 -7 set\n"},
        {"New York winter", 18000, false,
         "2024-12-08T07:00:00-05:00 417 2024-12-08T06:59:53-05:00 -7 set\n"},
    };
    for (const auto& c : cases) {
        FixedClock clock;
        clock.zoneWestSeconds = c.zoneWestSeconds;
        clock.dst = c.dst;
        const ClockCheck check{kNoonUtc, kNoonUtc - 7, 417, ClockAction::Set};
        EXPECT_EQ(clockLogLine(clock, check), c.line) << c.name;
    }
}

TEST(ClockLogLine, TheCLibraryZoneGivesTheSameOffsets) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "Australia/Sydney", 1);
    {
        SystemClock clock;
        EXPECT_EQ(isoLocalTime(clock, kNoonUtc), "2024-12-08T23:00:00+11:00");
        EXPECT_EQ(isoLocalTime(clock, kNoonUtc - 180 * 86400), "2024-06-11T22:00:00+10:00");
    }
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    SystemClock restored;
}

TEST(ClockAuditLog, KeepsEverySetAndAtMostOneOffLineAMinute) {
    test::TempDir dir;
    FixedClock clock;
    ClockAuditLog log(dir / "clock.log", clock);
    auto check = [](std::int64_t pc, std::int64_t drift, ClockAction a) {
        return ClockCheck{pc, pc + drift, 9, a};
    };
    EXPECT_FALSE(log.record(check(kNoonUtc, 1, ClockAction::None)));  // within a second: no line
    EXPECT_FALSE(log.record(check(kNoonUtc, 3, ClockAction::None)));
    EXPECT_FALSE(log.record(check(kNoonUtc + 30, 4, ClockAction::None)));  // same minute
    EXPECT_FALSE(log.record(check(kNoonUtc + 31, 6, ClockAction::Set)));   // a set always
    EXPECT_FALSE(log.record(check(kNoonUtc + 60, 2, ClockAction::None)));
    EXPECT_FALSE(log.record(check(kNoonUtc + 61, 0, ClockAction::Set)));
    EXPECT_EQ(readAll(dir / "clock.log"),
              std::string(ClockAuditLog::kHeader) +
                  "2024-12-08T12:00:00+00:00 9 2024-12-08T12:00:03+00:00 +3 none\n"
                  "2024-12-08T12:00:31+00:00 9 2024-12-08T12:00:37+00:00 +6 set\n"
                  "2024-12-08T12:01:00+00:00 9 2024-12-08T12:01:02+00:00 +2 none\n"
                  "2024-12-08T12:01:01+00:00 9 2024-12-08T12:01:01+00:00 +0 set\n");
}

TEST(ClockAuditLog, RotatesAtOneMegabyteAndReportsAFailedWrite) {
    test::TempDir dir;
    FixedClock clock;
    {
        std::ofstream full(dir / "clock.log", std::ios::binary);
        full << std::string(ClockAuditLog::kRotateBytes, 'x');
    }
    ClockAuditLog log(dir / "clock.log", clock);
    EXPECT_FALSE(log.record({kNoonUtc, kNoonUtc + 9, 1, ClockAction::Set}));
    EXPECT_EQ(std::filesystem::file_size(dir / "clock.log.1"), ClockAuditLog::kRotateBytes);
    EXPECT_EQ(readAll(dir / "clock.log").rfind(ClockAuditLog::kHeader, 0), 0u);

    ClockAuditLog nowhere(dir / "missing" / "clock.log", clock);
    const auto err = nowhere.record({kNoonUtc, kNoonUtc + 9, 1, ClockAction::Set});
    ASSERT_TRUE(err);
    EXPECT_EQ(err->path, dir / "missing" / "clock.log");
}

}  // namespace
}  // namespace cvh
