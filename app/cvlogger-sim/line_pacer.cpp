#include "line_pacer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace cvh::sim {

LinePacer::LinePacer(std::uint32_t baud, std::int64_t nowMs)
    : bytesPerSecond_(baud / 10.0), lastMs_(nowMs) {
    // Ten milliseconds' worth, at least one byte: the loop wakes at most a hundred times a
    // second to keep a busy line full.
    burst_ = std::max(1.0, bytesPerSecond_ / 100.0);
    credit_ = burst_;
}

void LinePacer::refill(std::int64_t nowMs) {
    if (nowMs > lastMs_) {
        // One byte above the burst keeps the fraction left over from the last write.
        credit_ = std::min(burst_ + 1.0, credit_ + (nowMs - lastMs_) * bytesPerSecond_ / 1000.0);
    }
    lastMs_ = std::max(lastMs_, nowMs);
}

std::size_t LinePacer::allowance(std::int64_t nowMs) {
    if (!paced())
        return std::numeric_limits<std::size_t>::max();
    refill(nowMs);
    return static_cast<std::size_t>(credit_);
}

void LinePacer::sent(std::size_t bytes) {
    if (paced())
        credit_ -= static_cast<double>(bytes);
}

std::int64_t LinePacer::waitMs(std::size_t wanted, std::int64_t nowMs) {
    if (!paced())
        return 0;
    refill(nowMs);
    const double need = std::min<double>(static_cast<double>(wanted), burst_);
    if (credit_ >= need)
        return 0;
    return static_cast<std::int64_t>(std::ceil((need - credit_) * 1000.0 / bytesPerSecond_));
}

}  // namespace cvh::sim
