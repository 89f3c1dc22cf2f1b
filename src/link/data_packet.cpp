#include "link/data_packet.h"

#include <algorithm>

#include "base/checksum.h"

namespace cvh {

std::optional<std::vector<std::uint8_t>> buildDataPacket(
    const DataPacketFields& fields, const std::array<Bytes, kDataPortCount>& segments) {
    std::size_t payload = 0;
    for (const Bytes& s : segments)
        payload += s.size();
    if (payload > kMaxDataPayload)
        return std::nullopt;

    std::vector<std::uint8_t> packet(payload + kDataOverheadLength);
    MutableBytes out(packet);
    out[0] = 8;
    out[1] = 8;
    out[data_record::kStart + data_record::kFormat] = fields.format;
    out[data_record::kStart + data_record::kTimeUnit] = fields.timeUnit;
    out[data_packet::kUnit] = fields.unit;
    out[data_packet::kSequence] = fields.sequence;
    writeBe16(out, data_packet::kPayloadLength, static_cast<std::uint16_t>(payload));
    writeBe32(out, data_packet::kTimeStamp, fields.timeStamp);
    std::size_t at = data_packet::kPayload;
    for (int p = 0; p < kDataPortCount; ++p) {
        const Bytes s = segments[p];
        writeBe16(out, data_packet::kCounts + 2 * p, static_cast<std::uint16_t>(s.size()));
        std::copy(s.begin(), s.end(), packet.begin() + at);
        at += s.size();
    }
    std::copy(fields.trailer.begin(), fields.trailer.end(), packet.begin() + at);
    storeChecksum(out);
    return packet;
}

std::optional<DataHeader> readDataRecordHeader(Bytes record, HeaderOrder order) {
    using namespace data_record;
    if (record.size() < kPayload)
        return std::nullopt;
    const bool wire = order == HeaderOrder::Wire;
    auto read16 = [&](std::size_t at) {
        return wire ? readBe16(record, at) : readLe16(record, at);
    };
    DataHeader h;
    h.format = record[kFormat];
    h.timeUnit = record[kTimeUnit];
    h.unit = record[kUnit];
    h.sequence = record[kSequence];
    h.payloadLength = read16(kPayloadLength);
    h.timeStamp = wire ? readBe32(record, kTimeStamp) : readLe32(record, kTimeStamp);
    for (int p = 0; p < kDataPortCount; ++p)
        h.counts[p] = read16(kCounts + 2 * p);
    if (h.payloadLength > kMaxDataPayload)
        return std::nullopt;
    if (record.size() < kPayload + h.payloadLength)
        return std::nullopt;
    return h;
}

std::optional<DataHeader> readDataPacketHeader(Bytes packet) {
    if (packet.size() < kDataOverheadLength || packet[0] != 8 || packet[1] != 8)
        return std::nullopt;
    auto header = readDataRecordHeader(packet.subspan(2), HeaderOrder::Wire);
    if (!header || packet.size() < header->payloadLength + kDataOverheadLength)
        return std::nullopt;
    return header;
}

void swapRecordHeaderOrder(MutableBytes record) {
    using namespace data_record;
    if (record.size() < kPayload)
        return;
    std::swap(record[kPayloadLength], record[kPayloadLength + 1]);
    std::swap(record[kTimeStamp], record[kTimeStamp + 3]);
    std::swap(record[kTimeStamp + 1], record[kTimeStamp + 2]);
    for (int p = 0; p < kDataPortCount; ++p)
        std::swap(record[kCounts + 2 * p], record[kCounts + 2 * p + 1]);
}

std::optional<Bytes> payloadSegment(Bytes payload, const PortCounts& counts, int port) {
    if (port < 0 || port >= kDataPortCount)
        return std::nullopt;
    std::size_t start = 0;
    for (int p = 0; p < port; ++p)
        start += counts[p];
    const std::size_t length = counts[port];
    if (start > payload.size() || length > payload.size() - start)
        return std::nullopt;
    return payload.subspan(start, length);
}

}  // namespace cvh
