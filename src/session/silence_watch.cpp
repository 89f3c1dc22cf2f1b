#include "session/silence_watch.h"

#include <algorithm>

#include "base/cformat.h"

namespace cvh {

namespace {
constexpr std::uint16_t kAnalogOn = 1;
}  // namespace

void SilenceWatch::setSetup(const LoggerSetup& setup) {
    setup_ = setup;
    for (int p = 0; p < kLoggerPortCount; ++p) {
        const auto slot = static_cast<std::size_t>(p + 1);
        watched_[static_cast<std::size_t>(p)].on = setup.baud[slot] != 0 &&
                                                   setup.meterType[slot] != kMeterOff &&
                                                   setup.meterType[slot] != kMeterPump;
    }
    for (int a = 1; a <= kAnalogChannelCount; ++a)
        watched_[static_cast<std::size_t>(analogWatchChannel(a))].on =
            setup.analogSetting[static_cast<std::size_t>(a)] == kAnalogOn;
    for (int c = 0; c < kWatchedChannels; ++c)
        if (!watched_[static_cast<std::size_t>(c)].on)
            channels_[static_cast<std::size_t>(c)] = {};
}

void SilenceWatch::setSampling(bool sampling, std::int64_t nowSeconds) {
    (void)nowSeconds;
    if (sampling == sampling_)
        return;
    sampling_ = sampling;
    // Each run starts unheard: nothing is flagged before an instrument's first data.
    for (auto& w : watched_)
        w.lastData.reset();
    channels_.fill({});
}

void SilenceWatch::heard(int c, std::int64_t nowSeconds) {
    watched_[static_cast<std::size_t>(c)].lastData = nowSeconds;
    channels_[static_cast<std::size_t>(c)] = {};
}

void SilenceWatch::onPortData(int port, std::int64_t nowSeconds) {
    if (sampling_ && port >= 1 && port <= kLoggerPortCount)
        heard(port - 1, nowSeconds);
}

void SilenceWatch::onAnalogData(std::int64_t nowSeconds) {
    if (!sampling_)
        return;
    for (int a = 1; a <= kAnalogChannelCount; ++a)
        heard(analogWatchChannel(a), nowSeconds);
}

std::int64_t SilenceWatch::thresholdSeconds() const {
    return std::max<std::int64_t>(3 * static_cast<std::int64_t>(setup_.intervalSeconds),
                                  kFloorSeconds);
}

std::string SilenceWatch::describe(int c) const {
    if (c >= kLoggerPortCount)
        return cformat("Analog channel %d", c - kLoggerPortCount + 1);
    const int type = setup_.meterType[static_cast<std::size_t>(c + 1)];
    const char* name = type >= 0 && type < kMeterTypeCount
                           ? kMeterTypeTexts[static_cast<std::size_t>(type)]
                           : "unknown meter";
    return cformat("Port %d (%s)", c + 1, name);
}

std::vector<SilenceAlarm> SilenceWatch::check(std::int64_t nowSeconds) {
    std::vector<SilenceAlarm> raised;
    if (!sampling_)
        return raised;
    const std::int64_t limit = thresholdSeconds();
    for (int c = 0; c < kWatchedChannels; ++c) {
        const auto& w = watched_[static_cast<std::size_t>(c)];
        auto& state = channels_[static_cast<std::size_t>(c)];
        if (!w.on || !w.lastData)
            continue;
        const std::int64_t silent = nowSeconds - *w.lastData;
        if (silent <= limit)
            continue;
        if (!state.flagged)
            raised.push_back({c, "Silent Instrument",
                              cformat("%s has sent no data for %lld seconds", describe(c).c_str(),
                                      static_cast<long long>(silent))});
        state.flagged = true;
        state.silentSeconds = silent;
    }
    return raised;
}

}  // namespace cvh
