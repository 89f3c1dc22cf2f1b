#include "port_backlog.h"

#include <algorithm>

namespace cvh::sim {

Packet takeDataPacket(PortBacklog& pending, const DataPacketFields& fields, std::size_t cap,
                      std::array<std::uint32_t, 9>& taken) {
    std::array<Bytes, kDataPortCount> segments;
    std::size_t room = cap;
    for (int p = 0; p < kDataPortCount; ++p) {
        const std::size_t n = std::min(room, pending[p].size());
        segments[p] = Bytes(pending[p].data(), n);
        taken[p] = static_cast<std::uint32_t>(n);
        room -= n;
    }
    Packet packet = *buildDataPacket(fields, segments);
    for (int p = 0; p < kDataPortCount; ++p) {
        pending[p].erase(pending[p].begin(), pending[p].begin() + taken[p]);
    }
    return packet;
}

Packet onlyPort(const Packet& packet, int keep) {
    const auto header = readDataPacketHeader(packet);
    std::array<Bytes, kDataPortCount> segments{};
    if (header) {
        const Bytes payload = Bytes(packet).subspan(kDataHeaderLength, header->payloadLength);
        if (const auto seg = payloadSegment(payload, header->counts, keep))
            segments[keep] = *seg;
    }
    DataPacketFields f;
    if (header) {
        f.format = header->format;
        f.timeUnit = header->timeUnit;
        f.unit = header->unit;
        f.sequence = header->sequence;
        f.timeStamp = header->timeStamp;
    }
    return *buildDataPacket(f, segments);
}

}  // namespace cvh::sim
