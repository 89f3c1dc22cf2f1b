// One recording file (archive or raw input), written record by record through AppendingFile.
// A record that cannot be written whole is cut back, counted and reported; the operator hears
// of it once per file and run of failures, not once per packet, and the next record is tried
// again (a full disk may have room again a moment later).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "base/file_write.h"
#include "base/operator.h"

namespace cvh {

inline constexpr const char* kFileErrorCaption = "File Error";

class ArchiveWriter {
public:
    // `what` names the kind of file in notices, e.g. "Archive File".
    ArchiveWriter(Operator& op, std::string what) : operator_(op), what_(std::move(what)) {}

    // Opens `path` (appending or truncating); the error when it cannot be opened, which the
    // caller reports (at a start, or through reportFailure while recording).
    std::optional<FileError> open(const std::filesystem::path& path, AppendingFile::Start start);
    bool isOpen() const { return file_.isOpen(); }
    // Writes one record (or raw chunk) whole; false when it was not written.
    bool write(Bytes record);
    void close();

    // Bytes in the open file: its length when opened plus what was written since.
    std::uint64_t size() const { return file_.size(); }
    // Records or chunks that could not be written, and files that could not be opened.
    std::uint32_t failures() const { return failures_; }
    // Counts a failure and tells the operator unless this file is already failing.
    void reportFailure(const FileError& error);
    const std::string& what() const { return what_; }
    // The latest failure, "path: reason"; empty before any.
    const std::string& lastFailure() const { return lastFailure_; }

private:
    Operator& operator_;
    std::string what_;
    AppendingFile file_;
    std::optional<std::filesystem::path> failingPath_;  // set while failures run on
    std::uint32_t failures_ = 0;
    std::string lastFailure_;
};

}  // namespace cvh
