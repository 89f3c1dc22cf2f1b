// The PC logger's millisecond clock: the time base of the host's own data packets and the time
// stamp of every annotation line.
#pragma once

#include <cstdint>
#include <string>

#include "base/clock.h"

namespace cvh {

// "%02d/%02d/%02d%c%02d:%02d:%02d.%03d": month/day/two-digit year, a tab, the time of day with
// milliseconds (hundredths times 10), as the archive readers expect it.
std::string pcLoggerTimeStamp(const CalendarTime& local, int hundredths);

class PCLoggerClock {
public:
    explicit PCLoggerClock(const Clock& clock) : clock_(clock) {}

    // Milliseconds since the first reading, and the time-stamp text of this instant. The
    // reference is the local date and time of the first reading; counting whole dates rather
    // than the day of the year keeps the count running on across the turn of the year.
    std::int64_t readClock(std::string& timeStamp);
    std::int64_t readClock();

private:
    std::int64_t localMilliseconds(std::string* timeStamp) const;

    const Clock& clock_;
    bool started_ = false;
    std::int64_t referenceMs_ = 0;
};

}  // namespace cvh
