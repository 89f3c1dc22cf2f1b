// Paces output as a serial line would carry it: baud / 10 bytes a second (a start bit, eight
// data bits and a stop bit per byte). A baud of 0 means no pacing.
#pragma once

#include <cstddef>
#include <cstdint>

namespace cvh::sim {

class LinePacer {
public:
    explicit LinePacer(std::uint32_t baud, std::int64_t nowMs = 0);

    // How many bytes the line can take now.
    std::size_t allowance(std::int64_t nowMs);
    void sent(std::size_t bytes);
    // Milliseconds until `wanted` bytes (at most one burst) may go; 0 when they may go now.
    std::int64_t waitMs(std::size_t wanted, std::int64_t nowMs);
    bool paced() const { return bytesPerSecond_ > 0; }

private:
    void refill(std::int64_t nowMs);

    double bytesPerSecond_;
    double credit_ = 0;
    double burst_;  // the most that may pile up while the line is idle
    std::int64_t lastMs_;
};

}  // namespace cvh::sim
