#include <gtest/gtest.h>

#include <cstdlib>

#include "config/sleep_request.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::ScriptedOperator;

TEST(SleepTime, NeedsThreeNumbersWithinTheDay) {
    EXPECT_TRUE(parseSleepTime("23:59:59"));
    EXPECT_TRUE(parseSleepTime("00:00:00"));
    EXPECT_FALSE(parseSleepTime("25:00:00"));
    EXPECT_FALSE(parseSleepTime("12:00"));
    EXPECT_FALSE(parseSleepTime("12:60:00"));
    EXPECT_FALSE(parseSleepTime("HH:MM:SS"));
    EXPECT_FALSE(parseSleepTime("-1:00:00"));
    EXPECT_FALSE(parseSleepTime("99999999999999999999:00:00"));
}

TEST(SleepDate, YearRulesAndDaysPastTheMonthEnd) {
    EXPECT_FALSE(parseSleepDate("01/01/99"));
    EXPECT_EQ(parseSleepDate("01/01/37")->year, 2037);
    EXPECT_EQ(parseSleepDate("01/01/2024")->year, 2024);
    EXPECT_FALSE(parseSleepDate("01/01/2000"));
    EXPECT_EQ(parseSleepDate("01/01/00")->year, 2000);
    EXPECT_FALSE(parseSleepDate("13/01/24"));
    EXPECT_FALSE(parseSleepDate("01/32/24"));
    EXPECT_FALSE(parseSleepDate("01/00/24"));
    EXPECT_FALSE(parseSleepDate("01/01/9999"));  // beyond the logger's 32-bit clock
    const auto feb30 = parseSleepDate("02/30/24");
    ASSERT_TRUE(feb30);
    EXPECT_EQ(daysFromCivil(feb30->year, feb30->month, feb30->day), daysFromCivil(2024, 3, 1));
}

TEST(RequestSleep, FormatErrorsLeaveTheWindowOpenAndTheTextAsTyped) {
    FixedClock clock;
    ScriptedOperator op;
    SleepWindow w;
    w.visible = true;
    w.METime = "12:00";
    w.MEDate = "01/01/30";
    EXPECT_FALSE(requestSleep(w, clock, op));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Time Format Error");
    EXPECT_EQ(op.notices()[0].text, "Time format is HH:MM:SS");
    w.METime = "12:00:00";
    w.MEDate = "02/30/99";
    EXPECT_FALSE(requestSleep(w, clock, op));
    EXPECT_EQ(op.notices()[1].caption, "Date Format Error");
    EXPECT_EQ(op.notices()[1].text, "Date 02/30/99 is Invalid\n\nDate Format is MM/DD/YY");
    EXPECT_TRUE(w.visible);
    EXPECT_EQ(w.MEDate, "02/30/99");
}

std::string wallText(const char* format, const CalendarTime& t) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, format, t.hour, t.minute, t.second);
    return buffer;
}

// Types the wall-clock time `ahead` seconds from now, confirms, and returns what was sent.
std::optional<CommandRequest> sleepAhead(const Clock& clock, int ahead, ScriptedOperator& op,
                                         SleepWindow& w) {
    const CalendarTime t = clock.localTime(clock.utcSeconds() + ahead);
    w.METime = wallText("%02d:%02d:%02d", t);
    char date[32];
    std::snprintf(date, sizeof date, "%02d/%02d/%02d", t.month, t.day, t.year % 100);
    w.MEDate = date;
    return requestSleep(w, clock, op);
}

void checkThirtySecondRule(const Clock& clock) {
    ScriptedOperator op;
    SleepWindow w;
    w.visible = true;
    EXPECT_FALSE(sleepAhead(clock, 20, op, w));
    ASSERT_EQ(op.asked.size(), 2u);
    EXPECT_EQ(op.asked[0].kind, "okcancel");
    EXPECT_EQ(op.asked[0].caption, "TQ-7 Sleep Option");
    EXPECT_EQ(op.asked[0].text, "Sleep Until " + w.METime + " on " + w.MEDate + " ?");
    EXPECT_EQ(op.asked[1].caption, "Sleep Error");
    EXPECT_TRUE(w.visible);

    const auto sent = sleepAhead(clock, 31, op, w);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->code, CommandCode::Sleep);
    // The logger is told the typed wall-clock time.
    EXPECT_EQ(sent->argumentA, toLoggerTime(clock, clock.utcSeconds() + 31));
    EXPECT_FALSE(w.visible);

    // Cancel in the confirmation sends nothing and keeps the window.
    SleepWindow again;
    again.visible = true;
    op.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(sleepAhead(clock, 3600, op, again));
    EXPECT_TRUE(again.visible);
}

TEST(RequestSleep, ThirtySecondRuleWithDaylightSavingOnAFixedClock) {
    FixedClock clock;
    clock.now = daysFromCivil(2024, 12, 8) * 86400 + 5 * 3600 + 59 * 60 + 50;
    clock.zoneWestSeconds = -36000;
    clock.dst = true;
    checkThirtySecondRule(clock);
}

TEST(RequestSleep, ThirtySecondRuleCountsFromWhenTheOperatorAnswered) {
    FixedClock clock;
    clock.now = daysFromCivil(2024, 6, 1) * 86400 + 12 * 3600;
    SleepWindow window;
    window.METime = "12:00:45";
    window.MEDate = "06/01/24";
    ScriptedOperator op;
    op.whileShown = [&clock](const test::Asked& asked) {
        if (asked.kind == "okcancel")
            clock.now += 60;  // the operator answers a minute later
    };
    EXPECT_FALSE(requestSleep(window, clock, op));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Sleep Error");
}

// The C library's Sydney zone, at an instant of the test's choosing.
class SydneyAt final : public Clock {
public:
    explicit SydneyAt(std::int64_t now) : now_(now) {}
    std::int64_t utcSeconds() const override { return now_; }
    int hundredths() const override { return 0; }
    std::int64_t milliseconds() const override { return 0; }
    CalendarTime localTime(std::int64_t utc) const override { return zone_.localTime(utc); }
    std::int64_t timezoneOffsetSeconds() const override { return zone_.timezoneOffsetSeconds(); }
    bool makeUtc(const CalendarTime& local, std::int64_t& out) const override {
        return zone_.makeUtc(local, out);
    }

private:
    std::int64_t now_;
    SystemClock zone_;
};

TEST(RequestSleep, ThirtySecondRuleInSydneySummerOnTheCLibraryZone) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    ::setenv("TZ", "Australia/Sydney", 1);
    {
        SydneyAt summer(daysFromCivil(2024, 12, 8) * 86400 + 3 * 3600 + 59 * 60 + 45);
        ASSERT_EQ(summer.timezoneOffsetSeconds(), -36000);
        ASSERT_TRUE(summer.localTime(summer.utcSeconds()).daylightSaving);
        checkThirtySecondRule(summer);
        // The real clock in the same zone, whatever the season today.
        checkThirtySecondRule(SystemClock());
    }
    if (old)
        ::setenv("TZ", saved.c_str(), 1);
    else
        ::unsetenv("TZ");
    tzset();
}

}  // namespace
}  // namespace cvh
