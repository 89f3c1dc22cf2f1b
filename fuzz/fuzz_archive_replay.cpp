// Feeds arbitrary bytes as an archive file, from memory, through the replay, single and
// continuous, into a receive buffer with a guard behind it: whatever the file holds, the replay
// must end or go on without reading or writing past the buffer, and every packet it hands on must
// fit.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "files/archive_replayer.h"
#include "link/packet_types.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the mode, the speed and a buffer smaller than the largest packet.
    const bool continuous = (data[0] & 1) != 0;
    const int speed = 1 + (data[0] >> 1) % 10;
    constexpr std::size_t kGuard = 16;
    static std::array<std::uint8_t, cvh::kMaxDataPacketLength + kGuard> buffer;
    const std::size_t room = (data[0] & 0x80) ? 600 : cvh::kMaxDataPacketLength;
    buffer.fill(0xA5);

    cvh::ArchiveReplayer replayer;
    replayer.openBytes(cvh::Bytes(data + 1, size - 1), continuous);
    for (int tick = 0; tick < 400 && !replayer.stopRequested(); ++tick) {
        const std::size_t n = replayer.nextPacket(cvh::MutableBytes(buffer.data(), room), speed);
        if (n > room || (n != 0 && n < cvh::kDataOverheadLength))
            std::abort();
    }
    for (std::size_t i = room; i < buffer.size(); ++i)
        if (buffer[i] != 0xA5)
            std::abort();
    return 0;
}
