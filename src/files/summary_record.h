// The run summary record the logger writes at the end of every run (run-file record type 11):
// 254 bytes, big-endian, signed unless noted. Index 0 of the nine-entry port arrays is the host
// port; the recorded byte counts start with the analog data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/bytes.h"

namespace cvh {

inline constexpr std::size_t kSummaryRecordSize = 254;

struct SummaryRecord {
    std::int32_t runNumber = 0;
    std::int32_t mode = 0;  // a LoggerMode: the mode the run was recorded in
    std::int32_t meterType = 0;
    std::int32_t serialNumber = 0;
    std::int32_t fileFormat = 0;
    std::int32_t outputFormat = 0;
    std::array<std::int32_t, 9> portMeterTypes{};  // entry n for port n; entry 0 unused
    std::int32_t powerKhz = 0;
    std::array<std::int32_t, 9> baudRates{};
    std::array<std::int32_t, 9> dataBits{};
    std::array<std::int32_t, 9> parities{};       // 0 none, 1 odd, 2 even
    std::array<std::int32_t, 9> voltageTenths{};  // entry 1 is the low-voltage cut-off
    std::array<std::int32_t, 7> analogStates{};   // 0 off, 1 on, 2 pump on
    std::array<std::int32_t, 4> pumpStates{};     // above 0: active
    std::int32_t delayBeforeStartSeconds = 0;
    std::int32_t preFlushSeconds = 0;
    std::int32_t warmUpSeconds = 0;
    std::int32_t flushSeconds = 0;
    std::int32_t sampleSeconds = 0;
    std::int32_t intervalSeconds = 0;
    std::int32_t startTime = 0;  // seconds since 1970, read as UTC calendar time
    std::int32_t unitId = 0;
    std::int32_t packetPeriodMs = 0;
    std::int32_t startMillivolts = 0;
    std::int32_t finalMillivolts = 0;
    std::array<std::int32_t, 9> recordedBytes{};  // analog, then ports 1 to 8
    std::int32_t freeDiskBytes = 0;
    std::int32_t totalDiskBytes = 0;
    std::int32_t firmwareMajor = 0;
    std::int32_t firmwareMinor = 0;
    std::array<std::int32_t, 3> firmwareDate{};

    bool operator==(const SummaryRecord&) const = default;
};

// Nothing when fewer than 254 bytes are given; bytes beyond 254 are not read.
std::optional<SummaryRecord> decodeSummaryRecord(Bytes bytes);

// Writes the 254 bytes (unused fields zero); false when `out` is shorter.
bool encodeSummaryRecord(const SummaryRecord& record, MutableBytes out);

}  // namespace cvh
