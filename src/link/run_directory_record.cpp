#include "link/run_directory_record.h"

#include <algorithm>

#include "base/checksum.h"
#include "link/packet_types.h"
#include "link/record_fields.h"

namespace cvh {

namespace {

// The directory entry's layout: each field with its offset; the width follows the member's
// type, an array fills consecutive entries. Decode and encode both walk this one list.
template <class Entry, class Visit>
void forEachDirectoryField(Entry& e, Visit&& visit) {
    visit(2, e.runNumber);
    visit(4, e.runKind);
    visit(8, e.portTypes);
    visit(26, e.analogStates);
    visit(40, e.pumpStates);
    visit(48, e.startTime);
    visit(52, e.runSizeBytes);
    visit(56, e.firstValueThousandths);
    visit(58, e.secondValueThousandths);
}

namespace upload {
constexpr std::size_t kBlockNumber = 2;
constexpr std::size_t kDataLength = 6;
constexpr std::size_t kData = 8;
}  // namespace upload

}  // namespace

std::optional<DirectoryEntry> decodeDirectoryEntry(Bytes packet) {
    if (packet.size() < kDirectoryEntryLength)
        return std::nullopt;
    DirectoryEntry e;
    forEachDirectoryField(e, [&](std::size_t at, auto& field) { readLeField(packet, at, field); });
    return e;
}

DirectoryEntryBytes encodeDirectoryEntry(const DirectoryEntry& entry) {
    DirectoryEntryBytes out{};
    out[0] = out[1] = 5;
    forEachDirectoryField(entry,
                          [&](std::size_t at, const auto& field) { writeLeField(out, at, field); });
    storeChecksum(out);
    return out;
}

std::optional<UploadBlock> decodeUploadBlock(Bytes packet) {
    if (packet.size() < kUploadBlockLength)
        return std::nullopt;
    UploadBlock b;
    b.blockNumber = readLe16(packet, upload::kBlockNumber);
    b.dataLength = readLeS16(packet, upload::kDataLength);
    if (b.dataLength < 0 || b.dataLength > static_cast<int>(kUploadDataCapacity))
        return std::nullopt;
    b.data = packet.subspan(upload::kData, static_cast<std::size_t>(b.dataLength));
    return b;
}

std::optional<UploadBlockBytes> encodeUploadBlock(std::uint16_t blockNumber, Bytes data) {
    if (data.size() > kUploadDataCapacity)
        return std::nullopt;
    UploadBlockBytes out{};
    out[0] = out[1] = 4;
    writeLe16(out, upload::kBlockNumber, blockNumber);
    writeLe16(out, upload::kDataLength, static_cast<std::uint16_t>(data.size()));
    std::copy(data.begin(), data.end(), out.begin() + upload::kData);
    storeChecksum(out);
    return out;
}

}  // namespace cvh
