// One little-endian field of a record laid out as a list of (offset, member): the width and
// signedness follow the member's type (16 or 32 bits), and a std::array member stands for
// consecutive entries. A record's decoder and encoder both walk its one layout list with these,
// so the two directions cannot drift apart.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "base/bytes.h"

namespace cvh {

namespace record_fields_detail {
template <class T>
inline constexpr bool kIsStdArray = false;
template <class T, std::size_t N>
inline constexpr bool kIsStdArray<std::array<T, N>> = true;
}  // namespace record_fields_detail

// The caller has checked that the record holds the whole field.
template <class T>
void readLeField(Bytes record, std::size_t at, T& field) {
    if constexpr (record_fields_detail::kIsStdArray<T>) {
        for (std::size_t i = 0; i < field.size(); ++i)
            readLeField(record, at + i * sizeof(typename T::value_type), field[i]);
    } else if constexpr (sizeof(T) == 2) {
        field = static_cast<T>(readLe16(record, at));
    } else {
        static_assert(sizeof(T) == 4 && std::is_integral_v<T>);
        field = static_cast<T>(readLe32(record, at));
    }
}

template <class T>
void writeLeField(MutableBytes record, std::size_t at, const T& field) {
    if constexpr (record_fields_detail::kIsStdArray<T>) {
        for (std::size_t i = 0; i < field.size(); ++i)
            writeLeField(record, at + i * sizeof(typename T::value_type), field[i]);
    } else if constexpr (sizeof(T) == 2) {
        writeLe16(record, at, static_cast<std::uint16_t>(field));
    } else {
        static_assert(sizeof(T) == 4 && std::is_integral_v<T>);
        writeLe32(record, at, static_cast<std::uint32_t>(field));
    }
}

}  // namespace cvh
