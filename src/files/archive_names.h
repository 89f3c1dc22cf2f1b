// Names of the hourly and daily archive files: the base name the operator chose, then the
// two-digit year, the day of the year and (hourly) the hour as a three-digit extension, so a
// folder of archives sorts by time and each hour or day has exactly one file.
#pragma once

#include <string>

#include "base/clock.h"

namespace cvh {

// "%s%02d_%03d.%03d": base, year modulo 100, day of the year 1..366, hour 0..23.
std::string hourlyArchiveName(const std::string& baseName, const CalendarTime& local);
// "%s%02d.%03d": base, year modulo 100, day of the year 1..366.
std::string dailyArchiveName(const std::string& baseName, const CalendarTime& local);

}  // namespace cvh
