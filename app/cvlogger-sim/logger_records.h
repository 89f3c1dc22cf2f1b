// The records only a logger writes: the directory entry of a stored run, an upload block, the
// flash-status frame, and the summary record at the end of each run file; plus the logger's
// own hardware configuration and analog calibration records, held whole as the host sent them,
// and the status record it sends every second.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "config/logger_status_view.h"
#include "link/packet_types.h"

namespace cvh::sim {

using Packet = std::vector<std::uint8_t>;

// Type 2: the flash error indicator (0 = no bad flash operations).
Packet buildFlashStatus(std::int16_t indicator);

// Type 4: one block of a run; `data` at most 1024 bytes, an empty block ends the run.
inline constexpr std::size_t kUploadDataSize = 1024;
Packet buildUploadBlock(std::uint16_t blockNumber, Bytes data);

// Type 5: one run of the directory.
struct DirectoryEntry {
    std::int16_t runNumber = 0;
    std::int16_t runKind = 13;                // the mode the run was recorded in; 13 = none
    std::array<std::int16_t, 8> portTypes{};  // meter type of ports 1..8, -1 = not set
    std::array<std::int16_t, 7> analog{};     // 0 off, 1 on, 2 pump on
    std::array<std::int16_t, 4> pumps{};      // 1 = used
    std::uint32_t startTime = 0;              // logger seconds
    std::uint32_t sizeBytes = 0;
    std::int16_t startThousandths = 0;  // battery volts at start, in thousandths
    std::int16_t endThousandths = 0;    // and at the end
};
Packet buildDirectoryEntry(const DirectoryEntry& entry);

// Type 7, 58 bytes: the fields the logger itself acts on.
namespace hardware_offset {
inline constexpr std::size_t kSerialNumber = 2;
inline constexpr std::size_t kDeviceType = 4;
inline constexpr std::size_t kStatusLed = 6;
inline constexpr std::size_t kRunStopSwitch = 8;
inline constexpr std::size_t kRelay = 14;  // 21 words: 1..8 serial, 10..16 analog, 17..20 pumps
}  // namespace hardware_offset
using HardwareRecord = std::array<std::uint8_t, kHardwarePacketLength>;
HardwareRecord defaultHardwareRecord(int deviceType, int serialNumber);

// Type 6, 44 bytes: offsets and scales of the battery input and the seven analog channels.
using CalibrationRecord = std::array<std::uint8_t, kCalibrationPacketLength>;
CalibrationRecord defaultCalibrationRecord();

// Type 3, 132 bytes, little-endian.
Packet buildStatusRecord(const LoggerStatus& status);

}  // namespace cvh::sim
