// The extraction's debug log "log.dat": emptied at the start of every extraction; while the
// operator's "Write Debug File" is on, one entry per ARCHIVE TQMUX record. The closing line is
// written at the end of every run that opened an archive, switch or not, so the log of a run
// with archive data always shows where its extraction ended.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "files/extract_output.h"

namespace cvh {

inline constexpr const char* kDebugLogName = "log.dat";

class ExtractDebugLog {
public:
    // Starts an empty log; `enabled` says whether entries are written.
    void start(ExtractTarget& target, bool enabled);
    // One entry for a TQMUX record's time stamp.
    void archiveRecord(std::int32_t timeStamp);
    // The closing line, whatever the switch says.
    void end();
    // Puts the log in place; the error when it could not be written whole.
    std::optional<FileError> commit();

private:
    std::unique_ptr<ExtractOutput> file_;
    bool enabled_ = false;
    std::int32_t previous_ = 0;
};

}  // namespace cvh
