// Type-8 data packets: one sampling unit's instrument bytes, port by port. On the wire the
// header is big-endian; the archive keeps the same record (the packet without its two type
// bytes and its checksum) with the header turned little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/bytes.h"
#include "link/packet_types.h"

namespace cvh {

// Offsets inside a data record: the packet's own offsets, less the two type bytes it starts
// after, so the two views of the layout cannot drift apart.
namespace data_record {
inline constexpr std::size_t kStart = 2;     // packet byte of record byte 0
inline constexpr std::size_t kFormat = 0;    // carried into archive records, not interpreted
inline constexpr std::size_t kTimeUnit = 1;  // carried into archive records, not interpreted
inline constexpr std::size_t kUnit = data_packet::kUnit - kStart;
inline constexpr std::size_t kSequence = data_packet::kSequence - kStart;
inline constexpr std::size_t kPayloadLength = data_packet::kPayloadLength - kStart;
inline constexpr std::size_t kTimeStamp = data_packet::kTimeStamp - kStart;
inline constexpr std::size_t kCounts = data_packet::kCounts - kStart;  // nine 16-bit counts
inline constexpr std::size_t kPayload = data_packet::kPayload - kStart;
inline constexpr std::size_t kTrailerLength = 4;
inline constexpr std::size_t kOverhead = kPayload + kTrailerLength;  // record = payload + 32
}  // namespace data_record

inline constexpr int kDataPortCount = data_packet::kPortCount;  // ports 1..8 and analog
inline constexpr std::array<std::uint8_t, 4> kPcLoggerTrailer{'#', '#', '#', '#'};

using PortCounts = std::array<std::uint16_t, kDataPortCount>;

struct DataPacketFields {
    std::uint8_t format = 0;    // packet byte 2 (the host's own packets carry 1)
    std::uint8_t timeUnit = 0;  // packet byte 3 (the host's own packets carry 1)
    std::uint8_t unit = 0;
    std::uint8_t sequence = 0;
    std::uint32_t timeStamp = 0;
    std::array<std::uint8_t, 4> trailer = kPcLoggerTrailer;
};

// Builds the wire bytes of a data packet from the nine port segments (port 1 first, the
// analog channels last): big-endian header, payload, trailer, little-endian checksum.
// Nothing when the segments add up to more than 4096 bytes.
std::optional<std::vector<std::uint8_t>> buildDataPacket(
    const DataPacketFields& fields, const std::array<Bytes, kDataPortCount>& segments);

struct DataHeader {
    std::uint8_t format = 0;
    std::uint8_t timeUnit = 0;
    std::uint8_t unit = 0;
    std::uint8_t sequence = 0;
    std::uint16_t payloadLength = 0;  // n
    std::uint32_t timeStamp = 0;
    PortCounts counts{};
};

enum class HeaderOrder { Wire, Archive };  // big-endian on the wire, little-endian in archives

// Reads the header of a record (the packet from byte 2). Nothing when the record is shorter
// than its header, its payload length is above 4096, or the payload does not fit the record.
std::optional<DataHeader> readDataRecordHeader(Bytes record, HeaderOrder order);
// The same for a whole wire packet (type bytes 8, 8 at the head).
std::optional<DataHeader> readDataPacketHeader(Bytes packet);

// Turns the length, time stamp and nine counts of a record's header from one byte order to
// the other, in place. Does nothing to a record shorter than its header.
void swapRecordHeaderOrder(MutableBytes record);

// Where port `port` (0..8) lies in `payload`: after the counts of the ports before it.
// Nothing when the port is out of range or the counts place it outside the payload (the
// counts come from the wire and need not add up).
std::optional<Bytes> payloadSegment(Bytes payload, const PortCounts& counts, int port);

}  // namespace cvh
