#include "files/extract_slots.h"

#include <algorithm>

namespace cvh {

bool ArchiveSlots::replaceWouldOverflow(std::size_t slot, std::size_t size) const {
    return size > kSlotCapacity || total_ - counts_[slot] + size > kArchiveMaxDataLength;
}

bool ArchiveSlots::appendWouldOverflow(std::size_t slot, std::size_t size) const {
    return counts_[slot] + size > kSlotCapacity || total_ + size > kArchiveMaxDataLength;
}

bool ArchiveSlots::replace(std::size_t slot, Bytes bytes) {
    if (slot >= kArchiveSlotCount || replaceWouldOverflow(slot, bytes.size()))
        return false;
    std::copy(bytes.begin(), bytes.end(),
              data_.begin() + static_cast<std::ptrdiff_t>(slot * kSlotCapacity));
    total_ = total_ - counts_[slot] + bytes.size();
    counts_[slot] = static_cast<std::uint16_t>(bytes.size());
    return true;
}

bool ArchiveSlots::append(std::size_t slot, Bytes bytes) {
    if (slot >= kArchiveSlotCount || appendWouldOverflow(slot, bytes.size()))
        return false;
    std::copy(bytes.begin(), bytes.end(),
              data_.begin() + static_cast<std::ptrdiff_t>(slot * kSlotCapacity + counts_[slot]));
    counts_[slot] = static_cast<std::uint16_t>(counts_[slot] + bytes.size());
    total_ += bytes.size();
    return true;
}

void ArchiveSlots::clear() {
    counts_.fill(0);
    total_ = 0;
}

std::optional<std::size_t> ArchiveSlots::encode(ArchiveRecordHeader header,
                                                MutableBytes out) const {
    const std::size_t size = total_ + kArchiveOverhead;
    if (out.size() < size || total_ > kArchiveMaxDataLength)
        return std::nullopt;
    header.counts = counts_;
    header.length = static_cast<std::uint16_t>(total_);
    encodeArchiveHeader(header, out, ByteOrder::Little);
    auto at = out.begin() + static_cast<std::ptrdiff_t>(kArchiveHeaderSize);
    for (std::size_t slot = 0; slot < kArchiveSlotCount; ++slot) {
        const auto from = data_.begin() + static_cast<std::ptrdiff_t>(slot * kSlotCapacity);
        at = std::copy(from, from + counts_[slot], at);
    }
    std::copy(kArchiveTrailer.begin(), kArchiveTrailer.end(), at);
    return size;
}

}  // namespace cvh
