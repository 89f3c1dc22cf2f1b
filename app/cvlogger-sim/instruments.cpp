#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/cformat.h"

namespace cvh::sim {

namespace {

// A late call (a stalled loop, a test that jumps the clock) catches up at most this many
// records and then starts afresh, as an instrument buffer that overflowed would.
constexpr int kMaxCatchUpRecords = 200;

constexpr double kTwoPi = 6.283185307179586;

void appendText(std::vector<std::uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

double seconds(std::int64_t ms) {
    return static_cast<double>(ms) / 1000.0;
}

// A CTD profiling down to 200 dbar and back every ten minutes, sending one ASCII line per scan.
class CtdInstrument final : public Instrument {
public:
    CtdInstrument(std::uint32_t baud, std::uint64_t seed) : Instrument(baud, 250, 48, seed) {}

private:
    void record(std::int64_t atMs, std::int64_t, std::vector<std::uint8_t>& out) override {
        const double t = seconds(atMs);
        const double phase = std::fmod(t, 600.0) / 600.0;
        const double pressure = 200.0 * (phase < 0.5 ? 2 * phase : 2 - 2 * phase) + noise(0.02);
        const double temperature = 18.0 - 0.06 * pressure + 0.3 * std::sin(t / 90.0) + noise(0.002);
        const double salinity = 34.2 + 0.004 * pressure + noise(0.001);
        const double conductivity = 3.2 + 0.09 * temperature + 0.02 * (salinity - 34) + noise(1e-4);
        appendText(out, cformat("SIM CTD %05u %9.4f %9.5f %9.3f %9.4f\r\n", count_ % 100000,
                                temperature, conductivity, pressure, salinity));
    }
};

// A current meter sending 14-byte binary frames: sync FA F5, frame counter, east, north and
// vertical velocity in mm/s and heading in tenths of a degree (all big-endian), a sum byte.
class CurrentMeterInstrument final : public Instrument {
public:
    CurrentMeterInstrument(std::uint32_t baud, std::uint64_t seed)
        : Instrument(baud, 500, 14, seed) {}

private:
    void record(std::int64_t atMs, std::int64_t, std::vector<std::uint8_t>& out) override {
        const double t = seconds(atMs);
        const auto word = [](double v) {
            return static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v)));
        };
        const std::array<std::uint16_t, 5> fields{
            static_cast<std::uint16_t>(count_), word(250 * std::sin(kTwoPi * t / 44700) + noise(5)),
            word(180 * std::cos(kTwoPi * t / 44700) + noise(5)), word(noise(3)),
            word(std::fmod(1800 + 300 * std::sin(t / 300.0) + 3600, 3600.0))};
        std::vector<std::uint8_t> frame{0xFA, 0xF5};
        for (std::uint16_t f : fields) {
            frame.push_back(static_cast<std::uint8_t>(f >> 8));
            frame.push_back(static_cast<std::uint8_t>(f));
        }
        std::uint8_t sum = 0;
        for (std::uint8_t b : frame)
            sum = static_cast<std::uint8_t>(sum + b);
        frame.push_back(sum);
        out.insert(out.end(), frame.begin(), frame.end());
    }
};

// A GPS receiver sending one position sentence a second, drifting slowly with the ship.
class GpsInstrument final : public Instrument {
public:
    GpsInstrument(std::uint32_t baud, std::uint64_t seed) : Instrument(baud, 1000, 72, seed) {}

private:
    void record(std::int64_t atMs, std::int64_t loggerSeconds,
                std::vector<std::uint8_t>& out) override {
        const double t = seconds(atMs);
        const std::int64_t day = ((loggerSeconds % 86400) + 86400) % 86400;
        const double latMinutes = 2.5 + 0.0005 * t + noise(0.0002);
        const double lonMinutes = 41.25 + 0.0003 * t + noise(0.0002);
        const std::string body = cformat(
            "GPGGA,%02d%02d%02d.00,4412.%04d,N,06331.%04d,W,1,08,0.9,3.1,M,-21.0,M,,",
            static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60),
            static_cast<int>(day % 60), static_cast<int>(std::fmod(latMinutes, 1.0) * 10000),
            static_cast<int>(std::fmod(lonMinutes, 1.0) * 10000));
        std::uint8_t check = 0;
        for (char c : body)
            check ^= static_cast<std::uint8_t>(c);
        appendText(out, cformat("$%s*%02X\r\n", body.c_str(), check));
    }
};

// Any other serial sensor: a labelled ASCII line with two readings, once a second.
class GenericAsciiInstrument final : public Instrument {
public:
    GenericAsciiInstrument(const char* label, std::uint32_t baud, std::uint64_t seed)
        : Instrument(baud, 1000, 40, seed), label_(label) {}

private:
    void record(std::int64_t atMs, std::int64_t, std::vector<std::uint8_t>& out) override {
        const double t = seconds(atMs);
        appendText(out, cformat("SIM %s %05u %8.3f %8.3f\r\n", label_, count_ % 100000,
                                50 + 10 * std::sin(t / 120.0) + noise(0.05),
                                7.5 + std::cos(t / 200.0) + noise(0.01)));
    }
    const char* label_;
};

}  // namespace

Instrument::Instrument(std::uint32_t baud, std::int64_t nominalPeriodMs,
                       std::size_t typicalRecordBytes, std::uint64_t seed)
    : random_(seed) {
    // A line carries baud / 10 bytes a second (start, eight bits, stop).
    const std::int64_t lineMs =
        baud > 0 ? static_cast<std::int64_t>(typicalRecordBytes) * 10000 / baud + 1 : 1000;
    periodMs_ = std::max(nominalPeriodMs, lineMs);
}

void Instrument::restart(std::int64_t nowMs) {
    nextMs_ = nowMs + periodMs_;
    count_ = 0;
}

void Instrument::produce(std::int64_t nowMs, std::int64_t loggerSeconds,
                         std::vector<std::uint8_t>& out) {
    int records = 0;
    while (nextMs_ <= nowMs) {
        if (++records > kMaxCatchUpRecords) {
            nextMs_ = nowMs + periodMs_;
            break;
        }
        record(nextMs_, loggerSeconds - (nowMs - nextMs_) / 1000, out);
        ++count_;
        nextMs_ += periodMs_;
    }
}

double Instrument::noise(double amplitude) {
    std::uniform_real_distribution<double> d(-amplitude, amplitude);
    return d(random_);
}

std::unique_ptr<Instrument> makeInstrument(int meterType, std::uint32_t baud, int port,
                                           std::uint64_t seed) {
    if (baud == 0)
        return nullptr;
    const std::uint64_t s = seed * 1000003u + static_cast<std::uint64_t>(port);
    switch (meterType) {
        case 0:  // off
        case 7:  // pump: switched power, no data line
        case 8:  // remote host: talks to the logger, sends no instrument data
            return nullptr;
        case 3:
            return std::make_unique<CtdInstrument>(baud, s);
        case 4:
        case 12:
            return std::make_unique<CurrentMeterInstrument>(baud, s);
        case 6:
            return std::make_unique<GpsInstrument>(baud, s);
        case 1:
            return std::make_unique<GenericAsciiInstrument>("KB5", baud, s);
        case 2:
            return std::make_unique<GenericAsciiInstrument>("RMX", baud, s);
        case 5:
            return std::make_unique<GenericAsciiInstrument>("LUX", baud, s);
        case 9:
            return std::make_unique<GenericAsciiInstrument>("HYD", baud, s);
        case 10:
            return std::make_unique<GenericAsciiInstrument>("PHI", baud, s);
        default:
            return std::make_unique<GenericAsciiInstrument>("TEST", baud, s);
    }
}

AnalogChannels::AnalogChannels(std::array<bool, 7> active, int rateHz, std::uint64_t)
    : active_(active), periodMs_(1000 / std::clamp(rateHz, 1, 100)) {}

void AnalogChannels::restart(std::int64_t nowMs) {
    nextMs_ = nowMs + periodMs_;
    count_ = 0;
}

bool AnalogChannels::anyActive() const {
    return std::any_of(active_.begin(), active_.end(), [](bool a) { return a; });
}

std::int16_t AnalogChannels::millivolts(int channel, std::int64_t nowMs) const {
    // Each channel drifts smoothly around its own level inside the 0..5 V input range.
    const double t = seconds(nowMs);
    const double v = 600.0 * channel + 350.0 * std::sin(t / (40.0 + 7 * channel) + channel);
    return static_cast<std::int16_t>(std::lround(std::clamp(v, 0.0, 5000.0)));
}

void AnalogChannels::produce(std::int64_t nowMs, std::vector<std::uint8_t>& out) {
    if (!anyActive())
        return;
    int records = 0;
    while (nextMs_ <= nowMs) {
        if (++records > kMaxCatchUpRecords) {
            nextMs_ = nowMs + periodMs_;
            break;
        }
        std::string line = cformat("AN %05u", count_ % 100000);
        for (int c = 1; c <= 7; ++c) {
            if (active_[c - 1])
                line += cformat(" %4d", millivolts(c, nextMs_));
        }
        line += "\r\n";
        appendText(out, line);
        ++count_;
        nextMs_ += periodMs_;
    }
}

}  // namespace cvh::sim
