#include "files/extract_debug_log.h"

#include "base/cformat.h"

namespace cvh {

void ExtractDebugLog::start(ExtractTarget& target, bool enabled) {
    enabled_ = enabled;
    previous_ = 0;
    file_ = target.create(kDebugLogName);
}

void ExtractDebugLog::archiveRecord(std::int32_t timeStamp) {
    if (!enabled_ || !file_)
        return;
    file_->write(cformat("Type %d Size %d ms %lld Offset %lld\n", 998, 0,
                         static_cast<long long>(timeStamp), static_cast<long long>(file_->size())));
    // Times in the log are tenths of the record's unit; the gap is to the previous record.
    if (timeStamp > 0) {
        file_->write(cformat("%cTime = %lld %lld", '\t', static_cast<long long>(timeStamp) * 10,
                             (static_cast<long long>(timeStamp) - previous_) * 10));
        previous_ = timeStamp;
    }
    file_->write(std::string_view("\r\n"));
}

void ExtractDebugLog::end() {
    if (!file_)
        return;
    file_->write(cformat("Type %d Size %d ms %lld Offset %lld\n", 999, 0, 0LL,
                         static_cast<long long>(file_->size())));
}

std::optional<FileError> ExtractDebugLog::commit() {
    if (!file_)
        return std::nullopt;
    auto error = file_->commit();
    file_.reset();
    return error;
}

}  // namespace cvh
