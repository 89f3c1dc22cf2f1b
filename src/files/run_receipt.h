// What an upload leaves beside the run files so that nobody has to trust a file by its size:
// a receipt "run.NNN.sha256" in the form `sha256sum` writes (and `sha256sum -c` checks) for
// each run that arrived whole, and one line per run in "upload.log" saying how it went.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "base/clock.h"
#include "base/file_write.h"

namespace cvh {

// SHA-256 over bytes fed in pieces (OpenSSL's digest).
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void reset();
    void update(Bytes bytes);
    // The digest of everything fed since the last reset, as 64 lower-case hex digits.
    std::string hex() const;

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

inline constexpr const char* kUploadLogName = "upload.log";

// "<digest>  <file name>\n": the text mode line of `sha256sum`, naming the file without its
// folder so the receipt checks wherever the pair is moved together.
std::string receiptText(const std::string& digestHex, const std::string& fileName);
// Writes "<run file>.sha256" beside the run file (replacing an earlier receipt whole).
std::optional<FileError> writeReceipt(const std::filesystem::path& runFile,
                                      const std::string& digestHex);

enum class RunResult { Complete, SizeMismatch, Stalled, Cancelled, WriteError };
const char* runResultText(RunResult result);  // "complete", "size mismatch", ...

struct RunLogEntry {
    int loggerSerialNumber = 0;
    int runNumber = 0;
    std::int64_t announcedBytes = 0;
    std::int64_t receivedBytes = 0;
    std::int64_t duplicateBlocks = 0;
    int reRequests = 0;
    RunResult result = RunResult::Complete;
};

// "2024-06-11 14:03:22  serial 901  run 003  announced 2048  received 2048  duplicates 0
// re-requests 0  complete" (one line, local time).
std::string uploadLogLine(const CalendarTime& localTime, const RunLogEntry& entry);
// Appends the line to "upload.log" in `folder`.
std::optional<FileError> appendUploadLog(const std::filesystem::path& folder,
                                         const std::string& line);

}  // namespace cvh
