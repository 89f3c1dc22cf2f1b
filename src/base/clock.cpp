#include "base/clock.h"

#include <chrono>
#include <ctime>

namespace cvh {

std::int64_t toLoggerTime(const Clock& clock, std::int64_t utcSeconds) {
    const bool dst = clock.localTime(utcSeconds).daylightSaving;
    return utcSeconds - clock.timezoneOffsetSeconds() + (dst ? 3600 : 0);
}

std::int64_t fromLoggerTime(const Clock& clock, std::int64_t loggerSeconds, bool daylightSaving) {
    return loggerSeconds + clock.timezoneOffsetSeconds() - (daylightSaving ? 3600 : 0);
}

std::int64_t daysFromCivil(int year, int month, int day) {
    // Howard Hinnant's days_from_civil.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned mp = static_cast<unsigned>(month + (month > 2 ? -3 : 9));
    const unsigned doy = (153 * mp + 2) / 5 + static_cast<unsigned>(day) - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return static_cast<std::int64_t>(era) * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CalendarTime civilFromSeconds(std::int64_t seconds) {
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    CalendarTime t;
    t.hour = static_cast<int>(rest / 3600);
    t.minute = static_cast<int>(rest % 3600 / 60);
    t.second = static_cast<int>(rest % 60);
    t.weekday = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    t.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (t.month <= 2 ? 1 : 0));
    t.yearDay = static_cast<int>(days - daysFromCivil(t.year, 1, 1));
    return t;
}

CalendarTime Clock::utcTime(std::int64_t utcSeconds) const { return civilFromSeconds(utcSeconds); }

namespace {

CalendarTime fromTm(const std::tm& tm) {
    CalendarTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.weekday = tm.tm_wday;
    t.yearDay = tm.tm_yday;
    t.daylightSaving = tm.tm_isdst > 0;
    return t;
}

}  // namespace

SystemClock::SystemClock() {
#if defined(_WIN32)
    _tzset();
#else
    tzset();
#endif
}

// Seconds and hundredths both from the system clock: time() may lag the system clock by up to a
// tick, which put a reading's seconds and hundredths on either side of a second's turn.
ClockReading SystemClock::read() const {
    using namespace std::chrono;
    const auto ms =
        duration_cast<std::chrono::milliseconds>(system_clock::now().time_since_epoch()).count();
    const std::int64_t seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return {seconds, static_cast<int>((ms - seconds * 1000) / 10)};
}

std::int64_t SystemClock::utcSeconds() const { return read().utcSeconds; }

int SystemClock::hundredths() const { return read().hundredths; }

std::int64_t SystemClock::milliseconds() const {
    using namespace std::chrono;
    return duration_cast<std::chrono::milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CalendarTime SystemClock::localTime(std::int64_t utcSeconds) const {
    const std::time_t t = static_cast<std::time_t>(utcSeconds);
    std::tm tm{};
#if defined(_WIN32)
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    return fromTm(tm);
}

std::int64_t SystemClock::timezoneOffsetSeconds() const {
#if defined(_WIN32)
    long tz = 0;
    _get_timezone(&tz);
    return tz;
#else
    return static_cast<std::int64_t>(timezone);
#endif
}

bool SystemClock::makeUtc(const CalendarTime& local, std::int64_t& utcOut) const {
    std::tm tm{};
    tm.tm_year = local.year - 1900;
    tm.tm_mon = local.month - 1;
    tm.tm_mday = local.day;
    tm.tm_hour = local.hour;
    tm.tm_min = local.minute;
    tm.tm_sec = local.second;
    tm.tm_isdst = -1;
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return false;
    utcOut = static_cast<std::int64_t>(t);
    return true;
}

CalendarTime FixedClock::localTime(std::int64_t utcSeconds) const {
    CalendarTime t = civilFromSeconds(utcSeconds - zoneWestSeconds + (dst ? 3600 : 0));
    t.daylightSaving = dst;
    return t;
}

bool FixedClock::makeUtc(const CalendarTime& local, std::int64_t& utcOut) const {
    // Normalise like mktime: months and days may run over.
    int year = local.year;
    int month = local.month - 1;
    year += month / 12;
    month %= 12;
    if (month < 0) {
        month += 12;
        --year;
    }
    const std::int64_t days = daysFromCivil(year, month + 1, 1) + (local.day - 1);
    const std::int64_t localSeconds =
        days * 86400 + local.hour * 3600LL + local.minute * 60LL + local.second;
    utcOut = localSeconds + zoneWestSeconds - (dst ? 3600 : 0);
    return true;
}

}  // namespace cvh
