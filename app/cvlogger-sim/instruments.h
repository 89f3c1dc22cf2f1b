// Simulated instruments on the logger's ports: a CTD writing ASCII lines, a current meter
// writing binary frames, a GPS writing NMEA sentences, generic ASCII sensors, and the analog
// channels. Each produces what it would have sent on its line since it was last asked, at no
// more bytes than its line speed carries. Output is deterministic for a given seed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace cvh::sim {

class Instrument {
public:
    virtual ~Instrument() = default;
    // Powers the instrument up: its output starts at `nowMs`.
    void restart(std::int64_t nowMs);
    // Appends every record due up to `nowMs`; `loggerSeconds` is the logger clock now.
    void produce(std::int64_t nowMs, std::int64_t loggerSeconds, std::vector<std::uint8_t>& out);

protected:
    Instrument(std::uint32_t baud, std::int64_t nominalPeriodMs, std::size_t typicalRecordBytes,
               std::uint64_t seed);
    virtual void record(std::int64_t atMs, std::int64_t loggerSeconds,
                        std::vector<std::uint8_t>& out) = 0;
    double noise(double amplitude);
    std::uint32_t count_ = 0;  // records sent since power-up

private:
    std::int64_t periodMs_;
    std::int64_t nextMs_ = 0;
    std::mt19937_64 random_;
};

// The instrument a port carries for a meter type; nothing for ports without a data line
// (off, pump, remote host) or switched off (baud 0).
std::unique_ptr<Instrument> makeInstrument(int meterType, std::uint32_t baud, int port,
                                           std::uint64_t seed);

// The seven analog channels, sampled together at the setup's analog rate. Their bytes go to
// the analog slot of the data packets; their present values go to the status record.
class AnalogChannels {
public:
    AnalogChannels(std::array<bool, 7> active, int rateHz, std::uint64_t seed);
    void restart(std::int64_t nowMs);
    void produce(std::int64_t nowMs, std::vector<std::uint8_t>& out);
    // Millivolts of channel 1..7 at `nowMs`, whether or not the channel is recorded.
    std::int16_t millivolts(int channel, std::int64_t nowMs) const;
    bool anyActive() const;

private:
    std::array<bool, 7> active_;
    std::int64_t periodMs_;
    std::int64_t nextMs_ = 0;
    std::uint32_t count_ = 0;
};

}  // namespace cvh::sim
