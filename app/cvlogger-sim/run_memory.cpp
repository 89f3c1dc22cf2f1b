#include "run_memory.h"

#include <algorithm>
#include <numeric>

#include "files/run_file.h"

namespace cvh::sim {

RunRecorder::RunRecorder(DirectoryEntry entry, std::uint8_t unitId) : entry_(entry) {
    const std::array<std::uint8_t, 2> unit{0, unitId};
    append(RunType::SenderUnitId, unit);
}

bool RunRecorder::append(int type, Bytes payload) {
    if (payload.empty() || payload.size() > static_cast<std::size_t>(kRunMaxPayload))
        return false;
    const std::size_t at = file_.size();
    file_.resize(at + kRunHeaderSize + payload.size());
    MutableBytes out(file_);
    writeLe16(out, at, static_cast<std::uint16_t>(payload.size()));
    writeLe16(out, at + 2, static_cast<std::uint16_t>(type));
    std::copy(payload.begin(), payload.end(), file_.begin() + at + kRunHeaderSize);
    return true;
}

bool RunRecorder::appendDataPacket(Bytes packet) {
    const auto header = readDataPacketHeader(packet);
    if (!header || header->payloadLength == 0)
        return false;
    if (!append(RunType::ArchiveTqMux, packet.subspan(2, packet.size() - 4)))
        return false;
    // Summary order: analog first, then ports 1..8.
    byteCounts_[0] += header->counts[8];
    for (int port = 1; port <= 8; ++port)
        byteCounts_[port] += header->counts[port - 1];
    return true;
}

void RunRecorder::appendBattery(std::uint32_t loggerSeconds, std::int16_t millivolts) {
    std::array<std::uint8_t, 6> b{};
    writeLe32(b, 0, loggerSeconds);
    writeLe16(b, 4, static_cast<std::uint16_t>(millivolts));
    append(RunType::Battery, b);
}

void RunRecorder::appendTimeStamp(std::uint32_t loggerSeconds) {
    std::array<std::uint8_t, 4> b{};
    writeLe32(b, 0, loggerSeconds);
    append(RunType::TimeStamp, b);
}

std::uint32_t RunRecorder::otherBytes() const {
    const std::uint32_t data = std::accumulate(byteCounts_.begin(), byteCounts_.end(), 0u);
    return static_cast<std::uint32_t>(file_.size()) - std::min<std::uint32_t>(data, file_.size());
}

StoredRun RunRecorder::finish(const SummaryRecord& summary, std::int16_t endThousandths) {
    std::array<std::uint8_t, kSummaryRecordSize> record{};
    encodeSummaryRecord(summary, record);
    append(RunType::Summary, record);
    StoredRun run;
    run.entry = entry_;
    run.entry.secondValueThousandths = endThousandths;
    run.entry.runSizeBytes = static_cast<std::uint32_t>(file_.size());
    run.file = std::move(file_);
    file_.clear();
    return run;
}

std::uint32_t RunMemory::usedBytes() const {
    std::uint64_t used = 0;
    for (const auto& r : runs_)
        used += r.file.size();
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(used, UINT32_MAX));
}

const StoredRun* RunMemory::find(int runNumber) const {
    for (const auto& r : runs_) {
        if (r.entry.runNumber == runNumber)
            return &r;
    }
    return nullptr;
}

void RunMemory::store(StoredRun run) {
    lastNumber_ = std::max(lastNumber_, run.entry.runNumber);
    runs_.push_back(std::move(run));
}

void RunMemory::clear() {
    runs_.clear();
    lastNumber_ = 0;
}

std::optional<std::int16_t> RunMemory::nextRunNumber() const {
    if (lastNumber_ >= 511 || runs_.size() >= 512)
        return std::nullopt;
    return static_cast<std::int16_t>(lastNumber_ + 1);
}

}  // namespace cvh::sim
