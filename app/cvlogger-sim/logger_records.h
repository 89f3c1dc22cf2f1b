// The records only a logger writes: the directory entry of a stored run, an upload block, the
// flash-status frame, and the summary record at the end of each run file; plus the logger's
// own hardware configuration and analog calibration records, held whole as the host sent them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "link/packet_types.h"
#include "link/run_directory_record.h"
#include "link/status_record.h"

namespace cvh::sim {

using Packet = std::vector<std::uint8_t>;

// Type 2: the flash error indicator (0 = no bad flash operations).
Packet buildFlashStatus(std::int16_t indicator);

// Type 4: one block of a run; `data` at most 1024 bytes, an empty block ends the run.
inline constexpr std::size_t kUploadDataSize = kUploadDataCapacity;
Packet buildUploadBlock(std::uint16_t blockNumber, Bytes data);

// Type 5: one run of the directory.
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

}  // namespace cvh::sim
