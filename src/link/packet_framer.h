// Cuts the logger's byte stream into checked packets. Bytes are appended at the tail; next()
// hands out the packets at the head one by one and drops (and counts) every byte that starts
// none. recognise() is the single step under it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "link/packet_types.h"

namespace cvh {

// Total length of a fixed-length packet type 1..7; 0 for any other type.
std::size_t fixedPacketLength(int type);

// Results of recognise(), in the order the receive loop acts on them.
enum FramerResult : int {
    kFramerBadRemembered = -4,  // type 8 re-examined with its remembered length, checksum failed
    kFramerBadData = -3,        // type 8 complete, checksum failed
    kFramerOversized = -2,      // type 8 whose length field is above 4096
    kFramerIncomplete = -1,     // the head looks like a packet; wait for more bytes
    kFramerNoMatch = 0,         // drop one byte and try again
    // 1..8: a complete packet of that type with a correct checksum is at the head
};

// What the link monitor and the tests read back: totals since the framer was made.
struct FramerCounters {
    std::uint64_t bytesIn = 0;
    std::uint64_t packets = 0;
    std::uint64_t checksumFailures = 0;  // results -3, -4 and doubled type bytes failing their sum
    std::uint64_t oversizedLengths = 0;  // result -2
    std::uint64_t droppedBytes = 0;      // bytes thrown away by dropByte()
};

// What next() found at the head of the buffer.
struct Frame {
    enum class Status {
        NeedMore,  // no packet can be decided yet; append more bytes
        Packet,    // `type` and `bytes` hold a checked packet, already taken off the head
        Rejected,  // a packet's header was there but its length or checksum failed
                   // (`rejected` holds the FramerResult); its first byte was dropped
    };
    Status status = Status::NeedMore;
    PacketType type = PacketType::Data;
    // The whole packet; valid until the next appendBytes() or next().
    Bytes bytes;
    int rejected = 0;

    bool packet() const { return status == Status::Packet; }
};

class PacketFramer {
public:
    // Room for one whole maximal data packet, so a 4132-byte packet never stalls reception.
    static constexpr std::size_t kCapacity = kMaxDataPacketLength;

    // Appends at most room() bytes; returns how many were taken.
    std::size_t appendBytes(const std::uint8_t* bytes, std::size_t count);
    std::size_t appendBytes(Bytes bytes) { return appendBytes(bytes.data(), bytes.size()); }
    // The drain loop every reader shares: skips bytes that start no packet (counted as
    // dropped) until a packet, a rejected packet or too few bytes to decide.
    Frame next();
    // Examines the head of the buffer; returns a FramerResult or a packet type 1..8.
    int recognise();
    // Removes `count` bytes from the head (a handled packet). The remembered type-8 length
    // belongs to the old head, so it returns to 36.
    void consume(std::size_t count);
    // Resynchronisation: throws away the head byte after a result other than 1..8 and -1.
    void dropByte();
    // Empties the buffer and forgets a half-parsed type-8 length (the port was reopened).
    void flush();
    // Total length of the type-8 packet just recognised.
    std::size_t lastType8Length() const { return expected_; }
    // Total length of the packet recognise() just reported as `type` 1..8.
    std::size_t packetLength(int type) const {
        return type == 8 ? expected_ : fixedPacketLength(type);
    }

    std::size_t size() const { return tail_ - head_; }
    std::size_t room() const { return kCapacity - size(); }
    Bytes head() const { return Bytes(buffer_.data() + head_, size()); }
    const FramerCounters& counters() const { return counters_; }

private:
    int recogniseData(Bytes held);
    int recogniseFixed(Bytes held, std::size_t length, int type);

    std::array<std::uint8_t, kCapacity> buffer_{};
    std::size_t head_ = 0;                        // first held byte
    std::size_t tail_ = 0;                        // one past the last held byte
    std::size_t expected_ = kDataOverheadLength;  // E: 36 while no type-8 header is half-parsed
    FramerCounters counters_;
};

}  // namespace cvh
