// A configuration record (hardware configuration, analog calibration) held whole, as the logger
// or a file gave it. Building a record overwrites only the fields the host interprets, so every
// other byte goes back exactly as it came (zeros before anything came).
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

#include "base/bytes.h"
#include "base/checksum.h"
#include "link/record_fields.h"

namespace cvh {

// `Fields` lists its interpreted fields once, in a static visitLayout(fields, visit) that calls
// visit(offset, member); decoding and encoding both walk that list.
template <class Fields, std::size_t Length, std::uint8_t Type>
class ConfigRecord {
public:
    static constexpr std::size_t kLength = Length;

    // Takes the first Length bytes of a received packet or a file; refuses fewer.
    bool store(Bytes bytes) {
        if (bytes.size() < Length)
            return false;
        std::copy_n(bytes.begin(), Length, bytes_.begin());
        return true;
    }
    Fields decode() const {
        Fields f;
        Fields::visitLayout(f,
                            [&](std::size_t at, auto& field) { readLeField(bytes_, at, field); });
        return f;
    }
    // The marker (the packet type twice), the interpreted fields, then the checksum.
    void encode(const Fields& f) {
        bytes_[0] = bytes_[1] = Type;
        Fields::visitLayout(
            f, [&](std::size_t at, const auto& field) { writeLeField(bytes_, at, field); });
        storeChecksum(bytes_);
    }
    Bytes bytes() const { return bytes_; }

private:
    std::array<std::uint8_t, Length> bytes_{};
};

}  // namespace cvh
