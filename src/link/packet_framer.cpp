#include "link/packet_framer.h"

#include <algorithm>
#include <cstring>

#include "base/checksum.h"

namespace cvh {

std::size_t fixedPacketLength(int type) {
    switch (type) {
        case 1:
            return kSetupPacketLength;
        case 2:
            return kFlashStatusPacketLength;
        case 3:
            return kStatusPacketLength;
        case 4:
            return kUploadBlockLength;
        case 5:
            return kDirectoryEntryLength;
        case 6:
            return kCalibrationPacketLength;
        case 7:
            return kHardwarePacketLength;
        default:
            return 0;
    }
}

std::size_t PacketFramer::appendBytes(const std::uint8_t* bytes, std::size_t count) {
    const std::size_t take = std::min(count, room());
    if (take == 0)
        return 0;
    // Move the held bytes down only when the tail would run off the end, so dropping bytes
    // one at a time never costs a copy each.
    if (tail_ + take > kCapacity) {
        const std::size_t held = size();
        std::memmove(buffer_.data(), buffer_.data() + head_, held);
        head_ = 0;
        tail_ = held;
    }
    std::memcpy(buffer_.data() + tail_, bytes, take);
    tail_ += take;
    counters_.bytesIn += take;
    return take;
}

int PacketFramer::recognise() {
    const Bytes held = head();
    if (held.size() < 2)
        return kFramerIncomplete;
    // The logger doubles the type byte; the tests of the fixed order 8, 3, 5, 4, 1, 2, 6, 7
    // can only match the type named by an equal pair, so the pair picks the one test to run.
    if (held[0] != held[1])
        return kFramerNoMatch;
    const int type = held[0];
    int result = kFramerNoMatch;
    if (type == 8) {
        result = recogniseData(held);
    } else if (const std::size_t length = fixedPacketLength(type); length != 0) {
        result = recogniseFixed(held, length, type);
    }
    if (result > 0)
        ++counters_.packets;
    return result;
}

int PacketFramer::recogniseFixed(Bytes held, std::size_t length, int type) {
    if (held.size() < length)
        return kFramerIncomplete;
    if (checksumMatches(held.first(length)))
        return type;
    ++counters_.checksumFailures;
    return kFramerNoMatch;
}

int PacketFramer::recogniseData(Bytes held) {
    if (held.size() < expected_)
        return kFramerIncomplete;
    if (expected_ != kDataOverheadLength) {
        // The header was parsed on an earlier call; the whole packet is here now.
        if (checksumMatches(held.first(expected_)))
            return 8;
        expected_ = kDataOverheadLength;
        ++counters_.checksumFailures;
        return kFramerBadRemembered;
    }
    const std::size_t payload = readBe16(held, data_packet::kPayloadLength);
    if (payload > kMaxDataPayload) {
        ++counters_.oversizedLengths;
        return kFramerOversized;
    }
    if (payload == 0) {
        // A keep-alive: header, trailer and checksum only.
        if (checksumMatches(held.first(kDataOverheadLength)))
            return 8;
        ++counters_.checksumFailures;
        return kFramerNoMatch;
    }
    expected_ = payload + kDataOverheadLength;
    if (held.size() < expected_)
        return kFramerIncomplete;
    if (checksumMatches(held.first(expected_)))
        return 8;
    expected_ = kDataOverheadLength;
    ++counters_.checksumFailures;
    return kFramerBadData;
}

Frame PacketFramer::next() {
    Frame frame;
    // Fewer bytes than the shortest packet decide nothing yet.
    while (size() >= kMinPacketLength) {
        const int code = recognise();
        if (code == kFramerIncomplete)
            return frame;
        if (code > 0) {
            const std::size_t length = packetLength(code);
            frame.status = Frame::Status::Packet;
            frame.type = static_cast<PacketType>(code);
            frame.bytes = head().first(length);
            // Consuming moves only the head index; the bytes stay where they are until the
            // next append.
            consume(length);
            return frame;
        }
        dropByte();
        if (code != kFramerNoMatch) {
            frame.status = Frame::Status::Rejected;
            frame.rejected = code;
            return frame;
        }
    }
    return frame;
}

void PacketFramer::consume(std::size_t count) {
    head_ += std::min(count, size());
    if (head_ == tail_)
        head_ = tail_ = 0;
    expected_ = kDataOverheadLength;
}

void PacketFramer::dropByte() {
    if (size() == 0)
        return;
    consume(1);
    ++counters_.droppedBytes;
}

void PacketFramer::flush() {
    head_ = tail_ = 0;
    expected_ = kDataOverheadLength;
}

}  // namespace cvh
