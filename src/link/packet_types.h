// The packets the logger sends: the type byte twice at the head, a 16-bit checksum at the end.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvh {

// The packet types the logger sends, by the type byte it doubles at the head.
enum class PacketType : std::uint8_t {
    Setup = 1,
    FlashStatus = 2,
    Status = 3,
    UploadBlock = 4,
    DirectoryEntry = 5,
    Calibration = 6,
    Hardware = 7,
    Data = 8,
};

inline constexpr std::size_t kSetupPacketLength = 192;       // type 1
inline constexpr std::size_t kFlashStatusPacketLength = 12;  // type 2
inline constexpr std::size_t kStatusPacketLength = 132;      // type 3
inline constexpr std::size_t kUploadBlockLength = 1036;      // type 4
inline constexpr std::size_t kDirectoryEntryLength = 64;     // type 5
inline constexpr std::size_t kCalibrationPacketLength = 44;  // type 6
inline constexpr std::size_t kHardwarePacketLength = 58;     // type 7
inline constexpr std::size_t kDataHeaderLength = 30;         // type 8, before the payload
inline constexpr std::size_t kDataOverheadLength = 36;       // header + trailer + checksum
inline constexpr std::size_t kMaxDataPayload = 4096;
inline constexpr std::size_t kMaxDataPacketLength = kMaxDataPayload + kDataOverheadLength;
inline constexpr std::size_t kMinPacketLength = 12;
inline constexpr std::size_t kCommandFrameLength = 12;
inline constexpr std::size_t kPortTestFrameLength = 24;

// Type-8 data packet offsets (header fields big-endian on the wire).
namespace data_packet {
inline constexpr std::size_t kUnit = 4;
inline constexpr std::size_t kSequence = 5;
inline constexpr std::size_t kPayloadLength = 6;
inline constexpr std::size_t kTimeStamp = 8;
inline constexpr std::size_t kCounts = 12;  // nine 16-bit counts
inline constexpr std::size_t kPayload = 30;
inline constexpr int kPortCount = 9;        // logger ports 1..8 and the analog channels
}  // namespace data_packet

}  // namespace cvh
