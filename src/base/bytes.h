// Byte-order helpers and a bounds-checked reader over byte spans.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace cvh {

using Bytes = std::span<const std::uint8_t>;
using MutableBytes = std::span<std::uint8_t>;

inline std::uint16_t readLe16(Bytes b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint16_t readBe16(Bytes b, std::size_t at) {
    return static_cast<std::uint16_t>((b[at] << 8) | b[at + 1]);
}
inline std::uint32_t readLe32(Bytes b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::uint32_t readBe32(Bytes b, std::size_t at) {
    return (static_cast<std::uint32_t>(b[at]) << 24) |
           (static_cast<std::uint32_t>(b[at + 1]) << 16) |
           (static_cast<std::uint32_t>(b[at + 2]) << 8) | static_cast<std::uint32_t>(b[at + 3]);
}
inline std::int16_t readLeS16(Bytes b, std::size_t at) {
    return static_cast<std::int16_t>(readLe16(b, at));
}
inline std::int32_t readLeS32(Bytes b, std::size_t at) {
    return static_cast<std::int32_t>(readLe32(b, at));
}

inline void writeLe16(MutableBytes b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void writeBe16(MutableBytes b, std::size_t at, std::uint16_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}
inline void writeLe32(MutableBytes b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    b[at + 2] = static_cast<std::uint8_t>(v >> 16);
    b[at + 3] = static_cast<std::uint8_t>(v >> 24);
}
inline void writeBe32(MutableBytes b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v >> 24);
    b[at + 1] = static_cast<std::uint8_t>(v >> 16);
    b[at + 2] = static_cast<std::uint8_t>(v >> 8);
    b[at + 3] = static_cast<std::uint8_t>(v);
}

// Sequential reader that reports running out instead of reading past the end.
class ByteReader {
public:
    explicit ByteReader(Bytes bytes) : bytes_(bytes) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return bytes_.size() - pos_; }
    bool ranOut() const { return ranOut_; }

    std::optional<std::uint8_t> u8() {
        if (!take(1)) return std::nullopt;
        return bytes_[pos_ - 1];
    }
    std::optional<std::uint16_t> le16() { return take(2) ? std::optional(readLe16(bytes_, pos_ - 2)) : std::nullopt; }
    std::optional<std::uint16_t> be16() { return take(2) ? std::optional(readBe16(bytes_, pos_ - 2)) : std::nullopt; }
    std::optional<std::uint32_t> le32() { return take(4) ? std::optional(readLe32(bytes_, pos_ - 4)) : std::nullopt; }
    std::optional<std::uint32_t> be32() { return take(4) ? std::optional(readBe32(bytes_, pos_ - 4)) : std::nullopt; }
    std::optional<Bytes> span(std::size_t count) {
        if (!take(count)) return std::nullopt;
        return bytes_.subspan(pos_ - count, count);
    }
    bool skip(std::size_t count) { return take(count); }

private:
    bool take(std::size_t count) {
        if (count > remaining()) {
            ranOut_ = true;
            return false;
        }
        pos_ += count;
        return true;
    }

    Bytes bytes_;
    std::size_t pos_ = 0;
    bool ranOut_ = false;
};

}  // namespace cvh
