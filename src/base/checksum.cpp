#include "base/checksum.h"

namespace cvh {

std::uint16_t byteSum16(Bytes bytes) {
    std::uint32_t sum = 0;
    for (std::uint8_t b : bytes) sum += b;
    return static_cast<std::uint16_t>(sum);
}

bool checksumMatches(Bytes record) {
    if (record.size() < 2) return false;
    const std::size_t body = record.size() - 2;
    return byteSum16(record.first(body)) == readLe16(record, body);
}

void storeChecksum(MutableBytes record) {
    if (record.size() < 2) return;
    const std::size_t body = record.size() - 2;
    writeLe16(record, body, byteSum16(Bytes(record.data(), body)));
}

}  // namespace cvh
