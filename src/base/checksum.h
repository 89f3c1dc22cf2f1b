// The one checksum of every record, packet and frame the logger exchanges: the sum of all
// preceding bytes as unsigned 8-bit values, truncated to 16 bits, stored least significant first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"

namespace cvh {

// Sum of every byte of `bytes`, truncated to 16 bits.
std::uint16_t byteSum16(Bytes bytes);

// True when `record` (checksum in its last two bytes) carries the right checksum.
bool checksumMatches(Bytes record);

// Computes the checksum over all but the last two bytes and stores it there.
void storeChecksum(MutableBytes record);

}  // namespace cvh
