// The records only a logger writes, as line bytes: the flash-status frame, and the logger's own
// hardware configuration and analog calibration records, held whole as the host sent them. The
// directory entry, upload block and status record come from the link's encoders.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/bytes.h"
#include "link/packet_types.h"

namespace cvh::sim {

using Packet = std::vector<std::uint8_t>;

// A whole record built by the link's encoders, as the bytes to put on the line.
template <std::size_t N>
Packet packetOf(const std::array<std::uint8_t, N>& record) {
    return Packet(record.begin(), record.end());
}

// Type 2: the flash error indicator (0 = no bad flash operations), in the command frame's layout.
Packet buildFlashStatus(std::int16_t indicator);

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
