// Wire packets for the link tests, built from the layout rules rather than by the code under test
// wherever the layout is simple enough to spell out.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "base/checksum.h"
#include "link/data_packet.h"
#include "link/packet_framer.h"

namespace cvh::test {

using ByteVector = std::vector<std::uint8_t>;

// A fixed-length packet of `type` (1..7) with a seeded body and a correct checksum.
inline ByteVector fixedPacket(int type, std::uint32_t seed = 1) {
    ByteVector p(fixedPacketLength(type));
    std::mt19937 rng(seed);
    for (auto& b : p)
        b = static_cast<std::uint8_t>(rng());
    p[0] = p[1] = static_cast<std::uint8_t>(type);
    storeChecksum(p);
    return p;
}

// A data packet whose port segments are the given texts (port 1 first).
inline ByteVector dataPacket(int unit, int sequence, const std::vector<std::string>& ports = {},
                             std::uint32_t timeStamp = 0x01020304) {
    std::array<Bytes, kDataPortCount> segments{};
    for (std::size_t i = 0; i < ports.size() && i < segments.size(); ++i)
        segments[i] =
            Bytes(reinterpret_cast<const std::uint8_t*>(ports[i].data()), ports[i].size());
    DataPacketFields f;
    // Header bytes that never pair up into a type byte, so tests see only the packets they mean.
    f.format = 0x21;
    f.timeUnit = 0x22;
    f.unit = static_cast<std::uint8_t>(unit);
    f.sequence = static_cast<std::uint8_t>(sequence);
    f.timeStamp = timeStamp;
    return *buildDataPacket(f, segments);
}

// A data packet carrying `payload` bytes of seeded data, all in port 1.
inline ByteVector dataPacketOfSize(std::size_t payload, std::uint32_t seed = 7, int unit = 1,
                                   int sequence = 0) {
    std::mt19937 rng(seed);
    std::string data(payload, '\0');
    for (auto& c : data)
        c = static_cast<char>('a' + rng() % 26);
    return dataPacket(unit, sequence, {data});
}

inline ByteVector concat(std::initializer_list<ByteVector> parts) {
    ByteVector out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline std::string text(Bytes b) {
    return std::string(b.begin(), b.end());
}

}  // namespace cvh::test
