#include "files/archive_replayer.h"

#include <algorithm>
#include <system_error>

#include "base/checksum.h"
#include "files/archive_record.h"

namespace cvh {

namespace {

constexpr std::uint8_t kDataPacketType = 8;
constexpr std::size_t kTypeBytes = 2;  // 8, 8 ahead of the record
constexpr std::size_t kChecksumBytes = 2;

}  // namespace

int replayTicksPerPacket(int speed) {
    return 19 / std::clamp(speed, kReplaySpeedMin, kReplaySpeedMax);
}

bool ArchiveReplayer::open(const std::filesystem::path& path, bool continuous) {
    close();
    file_ = std::fopen(path.string().c_str(), "rb");
    if (!file_)
        return false;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    start(continuous, ec ? 0 : size);
    return true;
}

void ArchiveReplayer::openBytes(Bytes archive, bool continuous) {
    close();
    memory_ = archive;
    start(continuous, archive.size());
}

void ArchiveReplayer::start(bool continuous, std::uint64_t length) {
    length_ = length;
    continuous_ = continuous;
    position_ = 0;
    packets_ = 0;
    countdown_ = 0;
    stopRequested_ = false;
    end_ = ReplayEnd::None;
    lastSequence_.fill(255);
}

void ArchiveReplayer::close() {
    if (file_)
        std::fclose(file_);
    file_ = nullptr;
    memory_.reset();
}

std::size_t ArchiveReplayer::requestStop(ReplayEnd why) {
    stopRequested_ = true;
    end_ = why;
    return 0;
}

bool ArchiveReplayer::readExactly(std::uint8_t* into, std::size_t count) {
    std::size_t got = 0;
    if (memory_) {
        const std::size_t at =
            static_cast<std::size_t>(std::min<std::uint64_t>(position_, memory_->size()));
        got = std::min(count, memory_->size() - at);
        std::copy_n(memory_->begin() + static_cast<std::ptrdiff_t>(at), got, into);
    } else {
        got = std::fread(into, 1, count, file_);
    }
    position_ += got;
    return got == count;
}

std::size_t ArchiveReplayer::nextPacket(MutableBytes buffer, int speed) {
    if (!isOpen() || stopRequested_)
        return 0;
    if (--countdown_ > 0)
        return 0;
    // The speed is read at every reload, so a change takes effect at the next packet.
    countdown_ = replayTicksPerPacket(speed);

    if (position_ >= length_) {
        if (!continuous_)
            return requestStop(ReplayEnd::EndOfFile);
        if (file_)
            std::rewind(file_);
        position_ = 0;
    }

    // The header goes straight behind the two type bytes; its length decides the rest.
    constexpr std::size_t kHeaderAt = kTypeBytes;
    constexpr std::size_t kDataAt = kTypeBytes + kArchiveHeaderSize;
    if (buffer.size() < kDataAt + kArchiveTrailerSize + kChecksumBytes)
        return requestStop(ReplayEnd::BadLength);
    buffer[0] = buffer[1] = kDataPacketType;
    if (!readExactly(buffer.data() + kHeaderAt, kArchiveHeaderSize))
        return requestStop(ReplayEnd::ShortRead);
    const MutableBytes headerBytes = buffer.subspan(kHeaderAt, kArchiveHeaderSize);
    auto header = *decodeArchiveHeader(headerBytes, ByteOrder::Little);
    const auto length = archiveDataLength(header);
    const std::size_t packetSize =
        length ? kDataAt + *length + kArchiveTrailerSize + kChecksumBytes : 0;
    if (!length || packetSize > buffer.size())
        return requestStop(ReplayEnd::BadLength);

    header.sequence = nextSequence_ ? nextSequence_(header.unitId) : ++lastSequence_[header.unitId];
    // The wire carries the length, time stamp and counts big-endian.
    encodeArchiveHeader(header, headerBytes, ByteOrder::Big);
    if (!readExactly(buffer.data() + kDataAt, *length + kArchiveTrailerSize))
        return requestStop(ReplayEnd::ShortRead);
    storeChecksum(buffer.first(packetSize));
    ++packets_;
    return packetSize;
}

}  // namespace cvh
