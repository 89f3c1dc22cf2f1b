// Checked file writing. Every writer of the program goes through these so that a failure is
// reported with the file's path and the system's reason, never counted as success, and never
// leaves a torn file under the final name:
// - ReplacingFile: written under a temporary name, flushed to disk and renamed over the final
//   name (host setup, run outputs, receipts, .hdw and .alg files);
// - AppendingFile: grows by whole records; a record that could not be written whole is cut
//   back, so the file stays a clean sequence of records (archives, raw input, logs, run files).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/bytes.h"

namespace cvh {

// Why a file could not be written: the path and the system's reason (strerror text).
struct FileError {
    std::filesystem::path path;
    std::string reason;
    // "<path>: <reason>"
    std::string describe() const;
};

// Test seam: when set, consulted before every write, flush and rename of the writers below;
// a non-zero errno value makes that step fail with that reason. Never set in the program.
using WriteFaultHook = std::function<int(const std::filesystem::path& path, std::size_t bytes)>;
void setWriteFaultHook(WriteFaultHook hook);

class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Starts the temporary file beside `finalPath` (an earlier file there stays until commit).
    std::optional<FileError> create(const std::filesystem::path& finalPath);
    bool isOpen() const { return file_ != nullptr; }
    // Appends bytes; after a failure further writes are ignored and commit reports it.
    bool write(Bytes bytes);
    bool write(std::string_view text);
    std::uint64_t size() const { return size_; }
    const std::optional<FileError>& error() const { return error_; }
    const std::filesystem::path& path() const { return final_; }

    // Flushes to disk, closes and renames over the final name; the error when any write, the
    // flush, the close or the rename failed (the temporary file is then removed and an earlier
    // file of that name is left as it was).
    std::optional<FileError> commit();
    // Closes and removes the temporary file.
    void discard();

private:
    void fail(int err);
    std::FILE* file_ = nullptr;
    std::filesystem::path final_;
    std::filesystem::path temp_;
    std::uint64_t size_ = 0;
    std::optional<FileError> error_;
};

// Writes a whole file through a ReplacingFile.
std::optional<FileError> replaceFile(const std::filesystem::path& path, Bytes bytes);
std::optional<FileError> replaceFile(const std::filesystem::path& path, std::string_view text);

class AppendingFile {
public:
    AppendingFile() = default;
    ~AppendingFile();
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;

    enum class Start { Append, Truncate };
    std::optional<FileError> open(const std::filesystem::path& path, Start start);
    bool isOpen() const { return file_ != nullptr; }
    // Writes one record whole (and flushes it to the system, so a crash of the program loses
    // nothing already written), or not at all: a short write is cut back to the end of the
    // previous record and its error returned.
    std::optional<FileError> writeRecord(Bytes bytes);
    std::optional<FileError> writeRecord(std::string_view text);
    // Flushes to disk (fsync).
    std::optional<FileError> sync();
    std::uint64_t size() const { return size_; }
    const std::filesystem::path& path() const { return path_; }
    // Closes the file; the error of the final flush, if any.
    std::optional<FileError> close();

private:
    std::FILE* file_ = nullptr;
    std::filesystem::path path_;
    std::uint64_t size_ = 0;
};

// The system's text for an errno value.
std::string systemReason(int err);

}  // namespace cvh
