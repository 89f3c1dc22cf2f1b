#include "files/archive_record.h"

#include <algorithm>

namespace cvh {
namespace {

// Where each header field lives. Decode and encode both walk this table, so the two directions
// cannot disagree about an offset or a width.
struct FieldLayout {
    std::size_t offset;
    std::size_t width;  // 1, 2 or 4 bytes
    std::uint32_t (*get)(const ArchiveRecordHeader&);
    void (*set)(ArchiveRecordHeader&, std::uint32_t);
};

template <std::size_t Slot>
constexpr FieldLayout countField() {
    return {10 + 2 * Slot, 2,
            [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.counts[Slot]; },
            [](ArchiveRecordHeader& h, std::uint32_t v) {
                h.counts[Slot] = static_cast<std::uint16_t>(v);
            }};
}

constexpr std::array<FieldLayout, 15> kLayout{{
    {0, 1, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.format; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.format = static_cast<std::uint8_t>(v); }},
    {1, 1, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.timeUnit; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.timeUnit = static_cast<std::uint8_t>(v); }},
    {2, 1, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.unitId; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.unitId = static_cast<std::uint8_t>(v); }},
    {3, 1, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.sequence; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.sequence = static_cast<std::uint8_t>(v); }},
    {4, 2, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.length; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.length = static_cast<std::uint16_t>(v); }},
    {6, 4, [](const ArchiveRecordHeader& h) -> std::uint32_t { return h.timeStamp; },
     [](ArchiveRecordHeader& h, std::uint32_t v) { h.timeStamp = v; }},
    countField<0>(),
    countField<1>(),
    countField<2>(),
    countField<3>(),
    countField<4>(),
    countField<5>(),
    countField<6>(),
    countField<7>(),
    countField<8>(),
}};

std::uint32_t readField(Bytes b, const FieldLayout& f, ByteOrder order) {
    switch (f.width) {
        case 1:
            return b[f.offset];
        case 2:
            return order == ByteOrder::Little ? readLe16(b, f.offset) : readBe16(b, f.offset);
        default:
            return order == ByteOrder::Little ? readLe32(b, f.offset) : readBe32(b, f.offset);
    }
}

void writeField(MutableBytes b, const FieldLayout& f, ByteOrder order, std::uint32_t v) {
    switch (f.width) {
        case 1:
            b[f.offset] = static_cast<std::uint8_t>(v);
            break;
        case 2:
            if (order == ByteOrder::Little)
                writeLe16(b, f.offset, static_cast<std::uint16_t>(v));
            else
                writeBe16(b, f.offset, static_cast<std::uint16_t>(v));
            break;
        default:
            if (order == ByteOrder::Little)
                writeLe32(b, f.offset, v);
            else
                writeBe32(b, f.offset, v);
            break;
    }
}

}  // namespace

std::optional<ArchiveRecordHeader> decodeArchiveHeader(Bytes bytes, ByteOrder order) {
    if (bytes.size() < kArchiveHeaderSize)
        return std::nullopt;
    ArchiveRecordHeader h;
    for (const auto& f : kLayout)
        f.set(h, readField(bytes, f, order));
    return h;
}

bool encodeArchiveHeader(const ArchiveRecordHeader& header, MutableBytes out, ByteOrder order) {
    if (out.size() < kArchiveHeaderSize)
        return false;
    for (const auto& f : kLayout)
        writeField(out, f, order, f.get(header));
    return true;
}

std::optional<std::size_t> archiveDataLength(Bytes header) {
    const auto h = decodeArchiveHeader(header, ByteOrder::Little);
    return h ? archiveDataLength(*h) : std::nullopt;
}

std::optional<std::size_t> archiveDataLength(const ArchiveRecordHeader& header) {
    // Stored signed: a value with the top bit set is negative, and so out of range too.
    const auto length = static_cast<std::int16_t>(header.length);
    if (length < 0 || static_cast<std::size_t>(length) > kArchiveMaxDataLength)
        return std::nullopt;
    return static_cast<std::size_t>(length);
}

bool isWritableArchiveRecord(Bytes record) {
    const auto length = archiveDataLength(record);
    return length && *length > 0 && record.size() == *length + kArchiveOverhead;
}

std::uint32_t countSum(const ArchiveRecordHeader& header) {
    std::uint32_t sum = 0;
    for (auto c : header.counts)
        sum += c;
    return sum;
}

std::optional<std::size_t> encodeArchiveRecord(ArchiveRecordHeader header, Bytes data,
                                               MutableBytes out) {
    if (data.size() > kArchiveMaxDataLength)
        return std::nullopt;
    const std::size_t size = data.size() + kArchiveOverhead;
    if (out.size() < size)
        return std::nullopt;
    header.length = static_cast<std::uint16_t>(data.size());
    encodeArchiveHeader(header, out, ByteOrder::Little);
    std::copy(data.begin(), data.end(), out.begin() + kArchiveHeaderSize);
    std::copy(kArchiveTrailer.begin(), kArchiveTrailer.end(),
              out.begin() + static_cast<std::ptrdiff_t>(kArchiveHeaderSize + data.size()));
    return size;
}

}  // namespace cvh
