#include "instrument_set.h"

namespace cvh::sim {

PortInstruments makeInstruments(const LoggerSetup& s, std::uint64_t seed) {
    PortInstruments out;
    for (int port = 1; port <= 8; ++port) {
        out[port - 1] = makeInstrument(s.meterType[port], s.baud[port], port, seed);
    }
    return out;
}

std::array<bool, 7> activeAnalogChannels(const LoggerSetup& s) {
    std::array<bool, 7> active{};
    for (int c = 1; c <= 7; ++c)
        active[c - 1] = s.analogSetting[c] == 1;
    return active;
}

std::unique_ptr<AnalogChannels> makeAnalog(const LoggerSetup& s, std::uint64_t seed, int rateHz) {
    return std::make_unique<AnalogChannels>(activeAnalogChannels(s),
                                            rateHz != 0 ? rateHz : s.analogRateHz, seed);
}

}  // namespace cvh::sim
