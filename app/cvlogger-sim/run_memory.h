// The logger's flash memory: the runs it has stored, each as the run file the host uploads,
// and the run being recorded now.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/bytes.h"
#include "files/summary_record.h"
#include "link/data_packet.h"
#include "link/run_directory_record.h"
#include "logger_records.h"

namespace cvh::sim {

struct StoredRun {
    DirectoryEntry entry;            // what Get Directory reports for it
    std::vector<std::uint8_t> file;  // the run file, record after record
};

// Builds one run file: a sender-unit record first, then an ARCHIVE TQMUX record per data
// packet, battery and time-stamp records once a minute, and the summary last.
class RunRecorder {
public:
    RunRecorder(DirectoryEntry entry, std::uint8_t unitId);

    // Appends a record; false when the payload is empty or longer than a run record may be.
    bool append(int type, Bytes payload);
    // A data packet on the wire becomes an ARCHIVE TQMUX record: the packet without its type
    // bytes and checksum, header still big-endian. Counts its bytes per port.
    bool appendDataPacket(Bytes packet);
    void appendBattery(std::uint32_t loggerSeconds, std::int16_t millivolts);
    void appendTimeStamp(std::uint32_t loggerSeconds);

    // Bytes recorded per port: analog first, then ports 1..8 (the summary's order).
    const std::array<std::uint32_t, 9>& byteCounts() const { return byteCounts_; }
    // Bytes in records other than port data (headers, battery, summary).
    std::uint32_t otherBytes() const;
    std::size_t size() const { return file_.size(); }

    StoredRun finish(const SummaryRecord& summary, std::int16_t endThousandths);

private:
    DirectoryEntry entry_;
    std::vector<std::uint8_t> file_;
    std::array<std::uint32_t, 9> byteCounts_{};
};

class RunMemory {
public:
    explicit RunMemory(std::uint32_t totalBytes) : total_(totalBytes) {}

    std::uint32_t totalBytes() const { return total_; }
    std::uint32_t usedBytes() const;
    std::uint32_t freeBytes() const { return total_ - std::min(total_, usedBytes()); }
    // Whether a run being recorded of `bytes` still fits beside the stored ones.
    bool fits(std::size_t bytes) const { return bytes <= freeBytes(); }

    const std::vector<StoredRun>& runs() const { return runs_; }
    const StoredRun* find(int runNumber) const;
    void store(StoredRun run);
    void clear();

    // Run numbers go up from 1 and start again after the memory is cleared; the directory
    // holds at most 512 runs, numbered 0..511.
    std::optional<std::int16_t> nextRunNumber() const;

private:
    std::uint32_t total_;
    std::vector<StoredRun> runs_;
    std::int16_t lastNumber_ = 0;
};

}  // namespace cvh::sim
