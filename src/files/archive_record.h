// One record of an archive file: the type-8 data packet without its two type bytes and its
// checksum. Archive files hold the header in little-endian order; the run file's ARCHIVE TQMUX
// records carry the same layout in big-endian order. One layout table serves both.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/bytes.h"

namespace cvh {

inline constexpr std::size_t kArchiveSlotCount = 9;    // ports 1..8, then analog / text
inline constexpr std::size_t kArchiveHeaderSize = 28;  // up to the first data byte
inline constexpr std::size_t kArchiveTrailerSize = 4;  // "####"
inline constexpr std::size_t kArchiveOverhead = kArchiveHeaderSize + kArchiveTrailerSize;
inline constexpr std::size_t kArchiveMaxDataLength = 4096;  // the framer's and replayer's limit
inline constexpr std::size_t kArchiveMaxRecordSize = kArchiveMaxDataLength + kArchiveOverhead;
inline constexpr std::array<std::uint8_t, 4> kArchiveTrailer{'#', '#', '#', '#'};

enum class ByteOrder { Little, Big };

struct ArchiveRecordHeader {
    std::uint8_t format = 0;
    std::uint8_t timeUnit = 0;
    std::uint8_t unitId = 0;
    std::uint8_t sequence = 0;
    std::uint16_t length = 0;  // data bytes L
    std::uint32_t timeStamp = 0;
    std::array<std::uint16_t, kArchiveSlotCount> counts{};

    bool operator==(const ArchiveRecordHeader&) const = default;
};

// Reads the 28 header bytes; nothing when fewer are given.
std::optional<ArchiveRecordHeader> decodeArchiveHeader(Bytes bytes, ByteOrder order);

// Writes the 28 header bytes; false (and nothing written) when `out` is shorter.
bool encodeArchiveHeader(const ArchiveRecordHeader& header, MutableBytes out, ByteOrder order);

// Sum of the nine slot counts (may exceed 16 bits in a damaged header).
std::uint32_t countSum(const ArchiveRecordHeader& header);

// Size of the whole record the header announces: L + 32.
inline std::size_t archiveRecordSize(const ArchiveRecordHeader& header) {
    return header.length + kArchiveOverhead;
}

// The data length L of a record header as the archive stores it (signed 16-bit, little-endian):
// nothing when fewer than 28 bytes are given or L lies outside 0..4096, so a damaged file can
// never announce more bytes than a packet may carry.
std::optional<std::size_t> archiveDataLength(Bytes header);
std::optional<std::size_t> archiveDataLength(const ArchiveRecordHeader& header);

// Checks a whole archive record as it is about to be written: a little-endian header whose L
// is 1..4096 and matches the record's size (L + 32). Empty records are never archived.
bool isWritableArchiveRecord(Bytes record);

// Writes a complete record (header, data, "####") into `out`; returns its size, or nothing when
// the data is longer than a record may hold or does not fit `out`. The length field is set from
// the data; the counts are taken from the header as given.
std::optional<std::size_t> encodeArchiveRecord(ArchiveRecordHeader header, Bytes data,
                                               MutableBytes out);

}  // namespace cvh
