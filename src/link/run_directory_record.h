// The two records of the run transfer: a run-directory entry (type 5, 64 bytes) and an upload
// block (type 4, 1036 bytes), both little-endian. The host decodes them; the encoders serve the
// simulated logger and the tests, from the same layout.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "base/bytes.h"
#include "link/logger_mode.h"
#include "link/packet_types.h"

namespace cvh {

struct DirectoryEntry {
    std::int16_t runNumber = 0;                                        // 0..511 accepted
    std::int16_t runKind = loggerModeNumber(LoggerMode::NotRecorded);  // recorded in this mode
    std::array<std::int16_t, 8> portTypes{};     // logger ports 1..8; -1 = not set
    std::array<std::int16_t, 7> analogStates{};  // 0 off, 1 on, 2 "Pump ON"
    std::array<std::int16_t, 4> pumpStates{};    // 1 = used
    std::int32_t startTime = 0;  // logger seconds since 1970 in the logger's local time
    std::uint32_t runSizeBytes = 0;
    std::int16_t firstValueThousandths = 0;
    std::int16_t secondValueThousandths = 0;

    bool runNumberAccepted() const { return runNumber >= 0 && runNumber <= 511; }
    bool operator==(const DirectoryEntry&) const = default;
};

using DirectoryEntryBytes = std::array<std::uint8_t, kDirectoryEntryLength>;
using UploadBlockBytes = std::array<std::uint8_t, kUploadBlockLength>;

// Nothing when fewer than 64 bytes are given.
std::optional<DirectoryEntry> decodeDirectoryEntry(Bytes packet);
// A whole type-5 packet: type bytes 5, 5, the fields, checksum; unlisted bytes are 0.
DirectoryEntryBytes encodeDirectoryEntry(const DirectoryEntry& entry);

inline constexpr std::size_t kUploadDataCapacity = 1024;

struct UploadBlock {
    std::uint16_t blockNumber = 0;
    std::int16_t dataLength = 0;  // 1..1024 data, 0 = end of the run file
    Bytes data;                   // the first dataLength bytes of the block's data area
    bool endOfRun() const { return dataLength == 0; }
};

// Nothing when fewer than 1036 bytes are given or the data length lies outside 0..1024; the
// data view points into `packet`.
std::optional<UploadBlock> decodeUploadBlock(Bytes packet);
// A whole type-4 packet carrying `data` (0 bytes: the end of the run file); nothing when the data
// is longer than a block holds.
std::optional<UploadBlockBytes> encodeUploadBlock(std::uint16_t blockNumber, Bytes data);

}  // namespace cvh
