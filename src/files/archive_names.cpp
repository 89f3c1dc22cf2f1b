#include "files/archive_names.h"

#include "base/cformat.h"

namespace cvh {

namespace {

// CalendarTime counts days of the year from 0; the names count them from 1.
int dayOfYear(const CalendarTime& t) {
    return t.yearDay + 1;
}

}  // namespace

std::string hourlyArchiveName(const std::string& baseName, const CalendarTime& local) {
    return cformat("%s%02d_%03d.%03d", baseName.c_str(), local.year % 100, dayOfYear(local),
                   local.hour);
}

std::string dailyArchiveName(const std::string& baseName, const CalendarTime& local) {
    return cformat("%s%02d.%03d", baseName.c_str(), local.year % 100, dayOfYear(local));
}

}  // namespace cvh
