// The bytes the instruments have sent that wait for the next data packet, and the packets made
// of them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "link/data_packet.h"
#include "logger_records.h"

namespace cvh::sim {

// Ports 1 to 8, then the analog channels in the last slot.
using PortBacklog = std::array<std::vector<std::uint8_t>, 9>;

// A run-file record holds at most 2080 bytes, and a data packet is stored whole in one, so
// the logger never puts more than this into one packet; the rest waits for the next.
inline constexpr std::size_t kMaxPacketPayload = 2048;
// An instrument that talks faster than the packets carry loses its oldest bytes beyond this.
inline constexpr std::size_t kMaxPendingPerPort = 16384;

// Takes up to `cap` bytes of the waiting port data, port 1 first and the analog slot last, into
// one data packet; the bytes taken leave `pending`.
Packet takeDataPacket(PortBacklog& pending, const DataPacketFields& fields, std::size_t cap,
                      std::array<std::uint32_t, 9>& taken);

// The same packet carrying only slot `keep` (0..8), for the output formats that send one port.
Packet onlyPort(const Packet& packet, int keep);

}  // namespace cvh::sim
