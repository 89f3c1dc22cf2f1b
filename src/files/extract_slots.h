// The nine slots in which the extraction puts one archive record together: ports 1 to 8, then
// the analog channels. A slot holds at most 10000 bytes and a record at most what an archive
// record may carry; the callers write a record out early rather than let either overflow.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "files/archive_record.h"

namespace cvh {

inline constexpr std::size_t kSlotCapacity = 10000;

class ArchiveSlots {
public:
    ArchiveSlots() : data_(kArchiveSlotCount * kSlotCapacity) {}

    bool any() const { return total_ > 0; }
    std::size_t total() const { return total_; }
    std::uint16_t count(std::size_t slot) const { return counts_[slot]; }

    // True when replacing or appending `size` bytes in `slot` would overflow the slot or the
    // record; the caller then writes the record out first.
    bool replaceWouldOverflow(std::size_t slot, std::size_t size) const;
    bool appendWouldOverflow(std::size_t slot, std::size_t size) const;

    // Both refuse (return false, change nothing) what would overflow even an empty record.
    bool replace(std::size_t slot, Bytes bytes);
    bool append(std::size_t slot, Bytes bytes);
    void clear();

    // Builds the record of the slots' content with `header`'s first four bytes and time stamp;
    // the counts and length come from the slots. Returns the record's size in `out`.
    std::optional<std::size_t> encode(ArchiveRecordHeader header, MutableBytes out) const;

private:
    std::vector<std::uint8_t> data_;
    std::array<std::uint16_t, kArchiveSlotCount> counts_{};
    std::size_t total_ = 0;
};

}  // namespace cvh
