// Feeds arbitrary bytes as an archive file through the replay, single and continuous, into a
// receive buffer with a guard behind it: whatever the file holds, the replay must end or go on
// without reading or writing past the buffer, and every packet it hands on must fit.
#include <unistd.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "files/archive_replayer.h"
#include "link/packet_types.h"

namespace {

const std::filesystem::path& archivePath() {
    static const std::filesystem::path path = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("cvh_fuzz_archive_replay_" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d / "fuzz.arc";
    }();
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    std::FILE* f = std::fopen(archivePath().string().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data + 1, 1, size - 1, f);
    std::fclose(f);

    // The first byte picks the mode, the speed and a buffer smaller than the largest packet.
    const bool continuous = (data[0] & 1) != 0;
    const int speed = 1 + (data[0] >> 1) % 10;
    constexpr std::size_t kGuard = 16;
    static std::array<std::uint8_t, cvh::kMaxDataPacketLength + kGuard> buffer;
    const std::size_t room = (data[0] & 0x80) ? 600 : cvh::kMaxDataPacketLength;
    buffer.fill(0xA5);

    cvh::ArchiveReplayer replayer;
    if (!replayer.open(archivePath(), continuous))
        return 0;
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
