#include "files/clock_audit_log.h"

#include <cstdlib>
#include <system_error>

#include "base/cformat.h"

namespace cvh {

std::string isoLocalTime(const Clock& clock, std::int64_t utcSeconds) {
    const CalendarTime t = clock.localTime(utcSeconds);
    // The local fields counted as if UTC, less the instant, is the zone's offset at that instant.
    const std::int64_t asUtc = daysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600LL +
                               t.minute * 60LL + t.second;
    const std::int64_t offset = asUtc - utcSeconds;
    const std::int64_t a = std::llabs(offset);
    return cformat("%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld", t.year, t.month, t.day, t.hour,
                   t.minute, t.second, offset < 0 ? '-' : '+', static_cast<long long>(a / 3600),
                   static_cast<long long>((a % 3600) / 60));
}

std::string clockLogLine(const Clock& clock, const ClockCheck& check) {
    return cformat("%s %d %s %+lld %s\n", isoLocalTime(clock, check.pcUtcSeconds).c_str(),
                   static_cast<int>(check.serialNumber),
                   isoLocalTime(clock, check.loggerUtcSeconds).c_str(),
                   static_cast<long long>(check.driftSeconds()),
                   check.action == ClockAction::Set ? "set" : "none");
}

std::optional<FileError> ClockAuditLog::rotateIfFull() {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    if (ec || size < kRotateBytes)
        return std::nullopt;
    auto older = path_;
    older += ".1";
    std::filesystem::rename(path_, older, ec);
    if (ec)
        return FileError{path_, ec.message()};
    return std::nullopt;
}

std::optional<FileError> ClockAuditLog::record(const ClockCheck& check) {
    if (check.action == ClockAction::None) {
        if (std::llabs(check.driftSeconds()) <= 1)
            return std::nullopt;
        if (lastNoneLine_ && check.pcUtcSeconds - *lastNoneLine_ < kNoneLineSpacingSeconds &&
            check.pcUtcSeconds >= *lastNoneLine_)
            return std::nullopt;
    }
    if (auto err = rotateIfFull())
        return err;
    std::error_code ec;
    const bool fresh = !std::filesystem::exists(path_, ec) || std::filesystem::file_size(path_, ec) == 0;
    AppendingFile file;
    if (auto err = file.open(path_, AppendingFile::Start::Append))
        return err;
    std::string text = fresh ? std::string(kHeader) : std::string();
    text += clockLogLine(clock_, check);
    if (auto err = file.writeRecord(text))
        return err;
    if (auto err = file.sync())
        return err;
    if (auto err = file.close())
        return err;
    if (check.action == ClockAction::None)
        lastNoneLine_ = check.pcUtcSeconds;
    return std::nullopt;
}

}  // namespace cvh
