// Calendar time as the logger and the host see it. The logger counts local wall-clock seconds
// since 1970 ("local form"): UTC seconds minus the C library's time-zone offset, plus 3600 while
// daylight saving is in force. Every time rule goes through Clock so tests can fix the instant
// and the zone.
#pragma once

#include <cstdint>
#include <string>

namespace cvh {

struct CalendarTime {
    int year = 1970;  // full year, e.g. 2024
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 = Sunday
    int yearDay = 0;  // 0..365
    bool daylightSaving = false;
};

// One reading of the wall clock: whole seconds and the hundredths within that second.
struct ClockReading {
    std::int64_t utcSeconds = 0;
    int hundredths = 0;  // 0..99
};

class Clock {
public:
    virtual ~Clock() = default;

    // Seconds and hundredths from one reading, so that the two never come from either side of
    // a second's turn. Time stamps that show both must use this.
    virtual ClockReading read() const { return {utcSeconds(), hundredths()}; }

    // Seconds since 1970-01-01 00:00 UTC.
    virtual std::int64_t utcSeconds() const = 0;
    // Hundredths of a second within the current second (0..99).
    virtual int hundredths() const = 0;
    // A monotonic millisecond counter for intervals (not calendar time).
    virtual std::int64_t milliseconds() const = 0;
    // The local calendar fields of a UTC instant, with its daylight-saving flag.
    virtual CalendarTime localTime(std::int64_t utcSeconds) const = 0;
    // UTC fields of an instant (no zone involved).
    virtual CalendarTime utcTime(std::int64_t utcSeconds) const;
    // The C library's `timezone`: seconds west of UTC in standard time.
    virtual std::int64_t timezoneOffsetSeconds() const = 0;
    // Local calendar fields back to UTC seconds (mktime with the zone's own DST decision);
    // returns false when the fields do not name a time.
    virtual bool makeUtc(const CalendarTime& local, std::int64_t& utcOut) const = 0;
};

// UTC seconds to the logger's local form.
std::int64_t toLoggerTime(const Clock& clock, std::int64_t utcSeconds);
// The logger's local form back to UTC seconds, using the daylight-saving flag of "now".
std::int64_t fromLoggerTime(const Clock& clock, std::int64_t loggerSeconds, bool daylightSaving);

// Days since 1970-01-01 of a proleptic Gregorian date, and back (zone-free arithmetic).
std::int64_t daysFromCivil(int year, int month, int day);
CalendarTime civilFromSeconds(std::int64_t seconds);

// The real clock, on the C library's localtime/mktime and the process's TZ.
class SystemClock final : public Clock {
public:
    SystemClock();
    ClockReading read() const override;
    std::int64_t utcSeconds() const override;
    int hundredths() const override;
    std::int64_t milliseconds() const override;
    CalendarTime localTime(std::int64_t utcSeconds) const override;
    std::int64_t timezoneOffsetSeconds() const override;
    bool makeUtc(const CalendarTime& local, std::int64_t& utcOut) const override;
};

// A clock that tests set by hand; local time is UTC shifted by a fixed offset, with a
// daylight-saving flag and shift that the test chooses.
class FixedClock final : public Clock {
public:
    std::int64_t now = 0;
    int nowHundredths = 0;
    std::int64_t nowMilliseconds = 0;
    std::int64_t zoneWestSeconds = 0;  // as the C library's `timezone`
    bool dst = false;                  // daylight saving in force at every instant

    std::int64_t utcSeconds() const override { return now; }
    int hundredths() const override { return nowHundredths; }
    std::int64_t milliseconds() const override { return nowMilliseconds; }
    CalendarTime localTime(std::int64_t utcSeconds) const override;
    std::int64_t timezoneOffsetSeconds() const override { return zoneWestSeconds; }
    bool makeUtc(const CalendarTime& local, std::int64_t& utcOut) const override;
};

}  // namespace cvh
