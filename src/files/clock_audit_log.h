// "clock.log": one line for every logger clock check that found the clock more than a second
// off and for every time the host set the logger's clock. Data managers correct time stamps from
// it after a cruise, so each line is on disk before the next status record, and the file is
// rotated at 1 MB to "clock.log.1" rather than growing without bound.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/file_write.h"

namespace cvh {

inline constexpr const char* kClockLogName = "clock.log";

enum class ClockAction { None, Set };

struct ClockCheck {
    std::int64_t pcUtcSeconds = 0;
    std::int64_t loggerUtcSeconds = 0;  // the logger's clock turned into UTC seconds
    std::int32_t serialNumber = 0;
    ClockAction action = ClockAction::None;
    // Logger minus PC: positive while the logger is ahead.
    std::int64_t driftSeconds() const { return loggerUtcSeconds - pcUtcSeconds; }
};

// "2026-12-08T14:05:09+01:00": local time with its offset from UTC.
std::string isoLocalTime(const Clock& clock, std::int64_t utcSeconds);
// One line of the log, with its line end.
std::string clockLogLine(const Clock& clock, const ClockCheck& check);

class ClockAuditLog {
public:
    static constexpr std::uint64_t kRotateBytes = 1024 * 1024;
    static constexpr std::int64_t kNoneLineSpacingSeconds = 60;
    static constexpr const char* kHeader =
        "# pc_time logger_serial logger_time drift_seconds action\n";

    ClockAuditLog(std::filesystem::path path, const Clock& clock)
        : path_(std::move(path)), clock_(clock) {}

    // Appends the check when it must be kept: every "set", and a "none" more than one second
    // off, at most one a minute. The error when the line could not be written (the next check
    // tries again).
    std::optional<FileError> record(const ClockCheck& check);

    const std::filesystem::path& path() const { return path_; }

private:
    std::optional<FileError> rotateIfFull();

    std::filesystem::path path_;
    const Clock& clock_;
    std::optional<std::int64_t> lastNoneLine_;
};

}  // namespace cvh
