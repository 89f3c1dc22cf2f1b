#include "config/sleep_request.h"

#include <array>
#include <cctype>

#include "base/cformat.h"

namespace cvh {

namespace {

// Reads "<int><sep><int><sep><int>" the way the C library's scanf does: blanks before each
// number, an optional sign, at least one digit; text after the third number is ignored. Large
// values are held at a bound instead of overflowing.
std::optional<std::array<long long, 3>> readThree(const std::string& text, char separator) {
    std::array<long long, 3> values{};
    std::size_t i = 0;
    for (int n = 0; n < 3; ++n) {
        if (n > 0) {
            if (i >= text.size() || text[i] != separator)
                return std::nullopt;
            ++i;
        }
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
            ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            negative = text[i++] == '-';
        const std::size_t digitsStart = i;
        long long v = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            if (v < 1'000'000'000'000LL)
                v = v * 10 + (text[i] - '0');
            ++i;
        }
        if (i == digitsStart)
            return std::nullopt;
        values[static_cast<std::size_t>(n)] = negative ? -v : v;
    }
    return values;
}

}  // namespace

std::optional<ParsedTime> parseSleepTime(const std::string& text) {
    const auto v = readThree(text, ':');
    if (!v)
        return std::nullopt;
    const auto [h, m, s] = *v;
    if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
        return std::nullopt;
    return ParsedTime{static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)};
}

std::optional<ParsedDate> parseSleepDate(const std::string& text) {
    const auto v = readThree(text, '/');
    if (!v)
        return std::nullopt;
    const auto [month, day, year] = *v;
    if (day < 1 || day > 31 || month < 1 || month > 12)
        return std::nullopt;
    long long fullYear = 0;
    if (year >= 0 && year <= 37)
        fullYear = 2000 + year;
    else if (year > 2000)
        fullYear = year;
    else
        return std::nullopt;
    // The logger counts 32-bit unsigned seconds: later years cannot be told to it.
    if (fullYear > 2105)
        return std::nullopt;
    return ParsedDate{static_cast<int>(month), static_cast<int>(day), static_cast<int>(fullYear)};
}

std::optional<CommandRequest> requestSleep(SleepWindow& window, const Clock& clock, Operator& op) {
    const auto time = parseSleepTime(window.METime);
    if (!time) {
        op.notice("Time Format Error", "Time format is HH:MM:SS", true);
        return std::nullopt;
    }
    const auto date = parseSleepDate(window.MEDate);
    if (!date) {
        op.notice("Date Format Error",
                  cformat("Date %s is Invalid\n\nDate Format is MM/DD/YY", window.MEDate.c_str()),
                  true);
        return std::nullopt;
    }

    // The typed wall-clock time counted from 1970 is what the logger's clock will show; the PC
    // instant is that time taken as standard time, an hour earlier while daylight saving is in
    // force now.
    const std::int64_t wallSeconds = daysFromCivil(date->year, date->month, date->day) * 86400 +
                                     time->hour * 3600LL + time->minute * 60LL + time->second;
    const std::int64_t now = clock.utcSeconds();
    const bool dstNow = clock.localTime(now).daylightSaving;
    const std::int64_t instant = wallSeconds + clock.timezoneOffsetSeconds() - (dstNow ? 3600 : 0);
    const CalendarTime shown = clock.localTime(instant);
    std::string question =
        cformat("Sleep Until %02d:%02d:%02d on %02d/%02d/%02d ?", shown.hour, shown.minute,
                shown.second, shown.month, shown.day, shown.year % 100);
    if (question.size() > 80)
        question.resize(80);
    if (op.askOkCancel("TQ-7 Sleep Option", question, Icon::Exclamation, true) != Answer::Ok)
        return std::nullopt;

    // The operator may have taken a while to answer: compare with the time now, not the time
    // the question was asked.
    if (instant < clock.utcSeconds() + 30) {
        op.notice("Sleep Error",
                  "You must specify a time at least 30 seconds later than the current time", true);
        return std::nullopt;
    }

    window.visible = false;
    return CommandRequest{CommandCode::Sleep, static_cast<std::uint32_t>(wallSeconds), 0};
}

}  // namespace cvh
