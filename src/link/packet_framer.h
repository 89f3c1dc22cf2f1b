// Cuts the logger's byte stream into checked packets. Bytes are appended at the tail;
// recognise() examines the head; the caller consumes a recognised packet or drops one byte.
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

class PacketFramer {
public:
    // Room for one whole maximal data packet, so a 4132-byte packet never stalls reception.
    static constexpr std::size_t kCapacity = kMaxDataPacketLength;

    // Appends at most room() bytes; returns how many were taken.
    std::size_t appendBytes(const std::uint8_t* bytes, std::size_t count);
    std::size_t appendBytes(Bytes bytes) { return appendBytes(bytes.data(), bytes.size()); }
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
