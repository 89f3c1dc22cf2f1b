// Helpers for the extraction tests: a scratch folder, run files built record by record, and
// whole-file reads for comparisons.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace cvh::test {

using ByteVec = std::vector<std::uint8_t>;

using ScratchDir = TempDir;

inline ByteVec bytesOf(const std::string& s) {
    return ByteVec(s.begin(), s.end());
}

inline ByteVec cat(std::initializer_list<ByteVec> parts) {
    ByteVec out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

inline ByteVec le16(std::uint16_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8)};
}
inline ByteVec be16(std::uint16_t v) {
    return {std::uint8_t(v >> 8), std::uint8_t(v)};
}
inline ByteVec le32(std::uint32_t v) {
    return {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
}
inline ByteVec be32(std::uint32_t v) {
    return {std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)};
}

// One run-file record: little-endian size and type, then the payload.
inline ByteVec runRecord(int type, const ByteVec& payload) {
    return cat({le16(static_cast<std::uint16_t>(payload.size())),
                le16(static_cast<std::uint16_t>(type)), payload});
}

// An archive record as the archive file holds it, spelled out field by field.
inline ByteVec archiveBytes(std::uint8_t format, std::uint8_t timeUnit, std::uint8_t unit,
                            std::uint8_t seq, std::uint32_t ts,
                            const std::vector<std::uint16_t>& counts, const ByteVec& data) {
    ByteVec out{format, timeUnit, unit, seq};
    out = cat({out, le16(static_cast<std::uint16_t>(data.size())), le32(ts)});
    for (std::size_t i = 0; i < 9; ++i)
        out = cat({out, le16(i < counts.size() ? counts[i] : 0)});
    return cat({out, data, bytesOf("####")});
}

inline void writeFile(const std::filesystem::path& p, const ByteVec& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

inline ByteVec readFile(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return ByteVec(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

inline std::set<std::string> filesIn(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

}  // namespace cvh::test
