#include "logger_records.h"

#include <algorithm>

#include "base/checksum.h"

namespace cvh::sim {

namespace {

// Directory entry fields (type 5), little-endian.
namespace dir {
constexpr std::size_t kRunNumber = 2;
constexpr std::size_t kRunKind = 4;
constexpr std::size_t kPortTypes = 8;
constexpr std::size_t kAnalog = 26;
constexpr std::size_t kPumps = 40;
constexpr std::size_t kStartTime = 48;
constexpr std::size_t kSize = 52;
constexpr std::size_t kStartValue = 56;
constexpr std::size_t kEndValue = 58;
}  // namespace dir

// Upload block fields (type 4), little-endian.
namespace block {
constexpr std::size_t kNumber = 2;
constexpr std::size_t kLength = 6;
constexpr std::size_t kData = 8;
}  // namespace block

Packet packetOf(std::size_t length, std::uint8_t type) {
    Packet p(length, 0);
    p[0] = p[1] = type;
    return p;
}

template <std::size_t N>
void writeLeWords(MutableBytes b, std::size_t at, const std::array<std::int16_t, N>& words) {
    for (std::size_t i = 0; i < N; ++i)
        writeLe16(b, at + 2 * i, static_cast<std::uint16_t>(words[i]));
}

}  // namespace

Packet buildFlashStatus(std::int16_t indicator) {
    Packet p = packetOf(kFlashStatusPacketLength, 2);
    writeLe16(p, 2, static_cast<std::uint16_t>(indicator));
    storeChecksum(p);
    return p;
}

Packet buildUploadBlock(std::uint16_t blockNumber, Bytes data) {
    Packet p = packetOf(kUploadBlockLength, 4);
    const std::size_t n = std::min(data.size(), kUploadDataSize);
    writeLe16(p, block::kNumber, blockNumber);
    writeLe16(p, block::kLength, static_cast<std::uint16_t>(n));
    std::copy_n(data.begin(), n, p.begin() + block::kData);
    storeChecksum(p);
    return p;
}

Packet buildDirectoryEntry(const DirectoryEntry& e) {
    Packet p = packetOf(kDirectoryEntryLength, 5);
    writeLe16(p, dir::kRunNumber, static_cast<std::uint16_t>(e.runNumber));
    writeLe16(p, dir::kRunKind, static_cast<std::uint16_t>(e.runKind));
    writeLeWords(p, dir::kPortTypes, e.portTypes);
    writeLeWords(p, dir::kAnalog, e.analogStates);
    writeLeWords(p, dir::kPumps, e.pumpStates);
    writeLe32(p, dir::kStartTime, static_cast<std::uint32_t>(e.startTime));
    writeLe32(p, dir::kSize, e.runSizeBytes);
    writeLe16(p, dir::kStartValue, static_cast<std::uint16_t>(e.firstValueThousandths));
    writeLe16(p, dir::kEndValue, static_cast<std::uint16_t>(e.secondValueThousandths));
    storeChecksum(p);
    return p;
}

HardwareRecord defaultHardwareRecord(int deviceType, int serialNumber) {
    HardwareRecord r{};
    r[0] = r[1] = 7;
    writeLe16(r, hardware_offset::kSerialNumber, static_cast<std::uint16_t>(serialNumber));
    writeLe16(r, hardware_offset::kDeviceType, static_cast<std::uint16_t>(deviceType));
    writeLe16(r, hardware_offset::kStatusLed, 2);      // direct status LED
    writeLe16(r, hardware_offset::kRunStopSwitch, 0);  // no switch
    // Serial ports on relays 1..8, the analog inputs self powered, pumps on no relay.
    for (int port = 1; port <= 8; ++port) {
        writeLe16(r, hardware_offset::kRelay + 2 * port, static_cast<std::uint16_t>(port));
    }
    for (int entry = 10; entry <= 16; ++entry)
        writeLe16(r, hardware_offset::kRelay + 2 * entry, 9);
    storeChecksum(r);
    return r;
}

CalibrationRecord defaultCalibrationRecord() {
    CalibrationRecord r{};
    r[0] = r[1] = 6;
    writeLe16(r, 2, 15);  // channel count field, as every calibration carries
    writeLe32(r, 4, 1);
    for (int ch = 0; ch < 8; ++ch) {
        writeLe16(r, 8 + 2 * ch, ch == 0 ? 200 : 150);    // counts at 0 V
        writeLe16(r, 24 + 2 * ch, ch == 0 ? 790 : 5325);  // counts per volt
    }
    storeChecksum(r);
    return r;
}

}  // namespace cvh::sim
