#include "fault_injector.h"

namespace cvh::sim {

FaultInjector::FaultInjector(FaultSettings settings, std::uint64_t seed)
    : settings_(settings), random_(seed ^ 0x5EEDFA17u) {}

const char* lineFateName(LineFate fate) {
    switch (fate) {
        case LineFate::Sent:
            return "sent";
        case LineFate::Corrupted:
            return "corrupted";
        case LineFate::Duplicated:
            return "duplicated";
        case LineFate::Dropped:
            return "dropped";
    }
    return "?";
}

bool FaultInjector::chance(double p) {
    if (p <= 0.0)
        return false;
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < p;
}

LineFate FaultInjector::apply(const std::vector<std::uint8_t>& bytes, bool packet,
                              std::vector<std::uint8_t>& line) {
    if (!packet) {
        line.insert(line.end(), bytes.begin(), bytes.end());
        return LineFate::Sent;
    }
    if (chance(settings_.garbage)) {
        ++counters_.garbageBursts;
        const int count = std::uniform_int_distribution<int>(1, 24)(random_);
        for (int i = 0; i < count; ++i) {
            line.push_back(static_cast<std::uint8_t>(random_()));
        }
    }
    if (chance(settings_.drop)) {
        ++counters_.dropped;
        return LineFate::Dropped;
    }
    LineFate fate = LineFate::Sent;
    const std::size_t start = line.size();
    line.insert(line.end(), bytes.begin(), bytes.end());
    if (bytes.size() >= 2 && chance(settings_.corrupt)) {
        ++counters_.corrupted;
        line.back() ^= 0x5A;  // the checksum's high byte
        fate = LineFate::Corrupted;
    }
    if (chance(settings_.duplicate)) {
        ++counters_.duplicated;
        // A copy first: inserting a vector's own range into it is undefined.
        const std::vector<std::uint8_t> copy(line.begin() + static_cast<std::ptrdiff_t>(start),
                                             line.end());
        line.insert(line.end(), copy.begin(), copy.end());
        if (fate == LineFate::Sent)
            fate = LineFate::Duplicated;
    }
    return fate;
}

}  // namespace cvh::sim
