#include "files/pc_logger_packet_clock.h"

#include "base/cformat.h"

namespace cvh {

std::string pcLoggerTimeStamp(const CalendarTime& local, int hundredths) {
    return cformat("%02d/%02d/%02d%c%02d:%02d:%02d.%03d", local.month, local.day, local.year % 100,
                   '\t', local.hour, local.minute, local.second, hundredths * 10);
}

std::int64_t PCLoggerClock::localMilliseconds(std::string* timeStamp) const {
    const auto [utc, hundredths] = clock_.read();
    const CalendarTime local = clock_.localTime(utc);
    if (timeStamp != nullptr)
        *timeStamp = pcLoggerTimeStamp(local, hundredths);
    const std::int64_t day = daysFromCivil(local.year, local.month, local.day);
    const std::int64_t ofDay =
        local.hour * 3600000LL + local.minute * 60000LL + local.second * 1000LL + hundredths * 10LL;
    return day * 86400000LL + ofDay;
}

std::int64_t PCLoggerClock::readClock(std::string& timeStamp) {
    const std::int64_t ms = localMilliseconds(&timeStamp);
    if (!started_) {
        started_ = true;
        referenceMs_ = ms;
    }
    return ms - referenceMs_;
}

std::int64_t PCLoggerClock::readClock() {
    const std::int64_t ms = localMilliseconds(nullptr);
    if (!started_) {
        started_ = true;
        referenceMs_ = ms;
    }
    return ms - referenceMs_;
}

}  // namespace cvh
