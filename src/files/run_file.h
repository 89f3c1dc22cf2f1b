// The run file as uploaded from the logger: records of a 4-byte little-endian header (payload
// size, record type) and a payload, with no file header. Read as a stream, so memory stays the
// same whatever the size of the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/file_write.h"

namespace cvh {

inline constexpr std::size_t kRunHeaderSize = 4;
inline constexpr int kRunMaxPayload = 2080;
inline constexpr int kRunMaxType = 26;

// Record types as the logger writes them.
namespace RunType {
inline constexpr int Meter1 = 1;       // .. Meter4 = 4
inline constexpr int ArchiveMux1 = 5;  // .. ArchiveMux4 = 8
inline constexpr int Battery = 9;
inline constexpr int TimeStamp = 10;
inline constexpr int Summary = 11;
inline constexpr int AnalogRaw = 12;
inline constexpr int AnalogArchive = 13;
inline constexpr int ArchiveTime = 14;
inline constexpr int Meter5 = 15;       // .. Meter8 = 18
inline constexpr int ArchiveMux5 = 19;  // .. ArchiveMux8 = 22
inline constexpr int ArchiveTqMux = 23;
inline constexpr int SenderUnitId = 24;
inline constexpr int ArchiveHeader = 25;
inline constexpr int Unknown = 26;
}  // namespace RunType

// A header the logger could have written: size 1..2080, type 1..26.
inline bool plausibleRunHeader(int size, int type) {
    return size >= 1 && size <= kRunMaxPayload && type >= 1 && type <= kRunMaxType;
}

// The run number is the decimal integer after the last "." of the file name (after its first
// character when the name has no "."), read as the C library's "%d" reads it: leading blanks
// and a sign allowed, trailing text ignored. Directory names do not count, dots or not.
std::optional<int> runNumberFromPath(const std::filesystem::path& path);

struct RunRecord {
    int type = 0;
    Bytes payload;             // valid until the next call to next()
    std::uint64_t offset = 0;  // of the record header in the file
};

// Streams a run file record by record with the logger's resynchronisation: a header that is not
// plausible is skipped one byte at a time, except at the very start of the file.
class RunFileReader {
public:
    enum class Step {
        Record,     // `record` holds the next record
        BadStart,   // the first header is not plausible: the run cannot be processed
        Truncated,  // the file ends inside a record's payload; `record.type` says which
        End,
    };

    RunFileReader() = default;
    ~RunFileReader();
    RunFileReader(const RunFileReader&) = delete;
    RunFileReader& operator=(const RunFileReader&) = delete;

    // Opens a run file. Only a regular file is opened: a directory, a FIFO or a device is
    // refused before any open for reading (a FIFO without a writer would block for ever).
    std::optional<FileError> open(const std::filesystem::path& path);
    // Reads a run held in memory instead (the bytes must outlive the reader's use).
    void openBytes(Bytes bytes);
    Step next(RunRecord& record);

    std::uint64_t bytesSkipped() const { return skipped_; }
    // A failure of the system to read the file; the reader then ends as at the file's end.
    const std::optional<FileError>& readError() const { return readError_; }

private:
    bool fill(std::size_t need);

    void reset();

    std::FILE* file_ = nullptr;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;     // first unread byte in buffer_
    std::size_t end_ = 0;       // one past the last byte read from the file
    std::uint64_t offset_ = 0;  // file offset of buffer_[begin_]
    std::uint64_t skipped_ = 0;
    bool eof_ = false;
    std::filesystem::path path_;
    std::optional<FileError> readError_;
};

}  // namespace cvh
