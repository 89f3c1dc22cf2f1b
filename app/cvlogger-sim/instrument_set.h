// The instruments a setup puts on the logger's ports and analog inputs.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "config/logger_setup.h"
#include "instruments.h"

namespace cvh::sim {

// One per serial port 1..8; empty where the setup has no instrument.
using PortInstruments = std::array<std::unique_ptr<Instrument>, 8>;

PortInstruments makeInstruments(const LoggerSetup& s, std::uint64_t seed);

// Channels 1..7 the setup has on.
std::array<bool, 7> activeAnalogChannels(const LoggerSetup& s);

// `rateHz` 0: the setup's analog rate.
std::unique_ptr<AnalogChannels> makeAnalog(const LoggerSetup& s, std::uint64_t seed, int rateHz);

}  // namespace cvh::sim
