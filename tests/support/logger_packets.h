// Packets as the logger sends them, for tests that feed a session's logger port.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/bytes.h"
#include "base/checksum.h"
#include "link/data_packet.h"

namespace cvh::test {

// A data packet of `unit` carrying `text` on data slot `port` (0..7 serial ports, 8 analog).
inline std::vector<std::uint8_t> dataPacket(int unit, int sequence, int port,
                                            std::string_view text) {
    DataPacketFields fields;
    fields.unit = static_cast<std::uint8_t>(unit);
    fields.sequence = static_cast<std::uint8_t>(sequence);
    std::array<Bytes, kDataPortCount> segments{};
    segments[static_cast<std::size_t>(port)] =
        Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return *buildDataPacket(fields, segments);
}

// The status record: type bytes, fields, checksum. `statusCode` 9 is Standby, 6 Sampling.
inline std::vector<std::uint8_t> statusPacket(std::uint32_t loggerClock,
                                              std::int16_t statusCode = 9) {
    std::vector<std::uint8_t> b(132, 0);
    MutableBytes m(b);
    b[0] = b[1] = 3;
    writeLe16(m, 4, static_cast<std::uint16_t>(statusCode));
    writeLe16(m, 6, 7);  // run 7
    writeLe32(m, 8, loggerClock);
    writeLe16(m, 16, 42);      // serial number
    writeLe16(m, 18, 2);       // TQ7
    writeLe16(m, 20, 2);       // logger ID
    writeLe16(m, 22, 0x0003);  // ports 1, 2
    writeLe16(m, 24, 0x0001);  // analog 1
    writeLe16(m, 30, static_cast<std::uint16_t>(-20));
    writeLe16(m, 48, 12345);
    writeLe16(m, 58, 1500);
    writeLe32(m, 76, 4096);
    writeLe32(m, 108, 2048);
    writeLe32(m, 124, 7u << 28 | 9u << 20);
    storeChecksum(m);
    return b;
}

}  // namespace cvh::test
