// The simulator's own account of the data packets it produced, for soak tests that compare
// what the host recorded with what went on the line: one line per type-8 packet, in order,
// "<number> <fate> <packet bytes in hex>", the bytes as built (before any fault touched them).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "fault_injector.h"

namespace cvh::sim {

class SentLog {
public:
    // Nothing is logged when the file cannot be created; `ok()` tells.
    explicit SentLog(const std::string& path);
    ~SentLog();
    SentLog(const SentLog&) = delete;
    SentLog& operator=(const SentLog&) = delete;

    bool ok() const { return file_ != nullptr && !failed_; }
    // Logs a type-8 packet; anything else is not a data packet and is passed over.
    void note(const std::vector<std::uint8_t>& packet, LineFate fate);
    // Flushes and closes; false when a write failed.
    bool close();

private:
    std::FILE* file_ = nullptr;
    std::uint64_t count_ = 0;
    bool failed_ = false;
    std::string line_;
};

}  // namespace cvh::sim
