// The silent-instrument alarm. While the logger samples, an instrument that the received setup
// switches on and that has already sent data in this run, but has then sent nothing for longer
// than max(3 x the sample interval, 10 s), is flagged once: a cable worked loose or an
// instrument died, and the operator should know before the run is wasted.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/logger_setup.h"

namespace cvh {

// Serial ports 1..8 are channels 0..7, analog channels 1..7 are channels 8..14.
inline constexpr int kWatchedChannels = kLoggerPortCount + kAnalogChannelCount;
inline constexpr int analogWatchChannel(int analogChannel) {
    return kLoggerPortCount + analogChannel - 1;
}

struct SilenceAlarm {
    int channel = 0;
    std::string caption;  // "Silent Instrument"
    std::string text;     // names the port and its meter type, and the seconds of silence
};

struct ChannelSilence {
    bool flagged = false;
    std::int64_t silentSeconds = 0;  // while flagged
};

class SilenceWatch {
public:
    static constexpr std::int64_t kFloorSeconds = 10;

    // A setup record received from the logger: which channels are on, and the interval.
    void setSetup(const LoggerSetup& setup);
    // The logger's state from each status record; a new run starts when sampling starts.
    void setSampling(bool sampling, std::int64_t nowSeconds);
    // Data from a serial port 1..8 of the logger, or its analog block (every analog channel).
    void onPortData(int port, std::int64_t nowSeconds);
    void onAnalogData(std::int64_t nowSeconds);

    // Once a second: the alarms raised now (one per channel and silence).
    std::vector<SilenceAlarm> check(std::int64_t nowSeconds);

    const ChannelSilence& channel(int c) const { return channels_[static_cast<std::size_t>(c)]; }
    std::int64_t thresholdSeconds() const;

private:
    struct Watched {
        bool on = false;
        std::optional<std::int64_t> lastData;  // in this run
    };
    void heard(int c, std::int64_t nowSeconds);
    std::string describe(int c) const;

    LoggerSetup setup_;
    bool sampling_ = false;
    std::array<Watched, kWatchedChannels> watched_{};
    std::array<ChannelSilence, kWatchedChannels> channels_{};
};

}  // namespace cvh
