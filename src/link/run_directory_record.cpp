#include "link/run_directory_record.h"

#include "link/packet_types.h"

namespace cvh {

namespace {

namespace directory {
constexpr std::size_t kRunNumber = 2;
constexpr std::size_t kRunKind = 4;
constexpr std::size_t kPortTypes = 8;
constexpr std::size_t kAnalogStates = 26;
constexpr std::size_t kPumpStates = 40;
constexpr std::size_t kStartTime = 48;
constexpr std::size_t kRunSize = 52;
constexpr std::size_t kFirstValue = 56;
constexpr std::size_t kSecondValue = 58;
}  // namespace directory

namespace upload {
constexpr std::size_t kBlockNumber = 2;
constexpr std::size_t kDataLength = 6;
constexpr std::size_t kData = 8;
}  // namespace upload

template <std::size_t N>
void readArray(Bytes b, std::size_t at, std::array<std::int16_t, N>& out) {
    for (std::size_t i = 0; i < N; ++i)
        out[i] = readLeS16(b, at + 2 * i);
}

}  // namespace

std::optional<DirectoryEntry> decodeDirectoryEntry(Bytes packet) {
    if (packet.size() < kDirectoryEntryLength)
        return std::nullopt;
    DirectoryEntry e;
    e.runNumber = readLeS16(packet, directory::kRunNumber);
    e.runKind = readLeS16(packet, directory::kRunKind);
    readArray(packet, directory::kPortTypes, e.portTypes);
    readArray(packet, directory::kAnalogStates, e.analogStates);
    readArray(packet, directory::kPumpStates, e.pumpStates);
    e.startTime = readLeS32(packet, directory::kStartTime);
    e.runSizeBytes = readLe32(packet, directory::kRunSize);
    e.firstValueThousandths = readLeS16(packet, directory::kFirstValue);
    e.secondValueThousandths = readLeS16(packet, directory::kSecondValue);
    return e;
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

}  // namespace cvh
