#include "session/live_data_watch.h"

#include "base/cformat.h"
#include "config/logger_setup.h"

namespace cvh {

LiveDataWatch::LiveDataWatch(const Clock& clock, Operator& notices, ChangeMarks& marks)
    : clock_(clock), notices_(notices), view_(marks, Area::DataStatus) {}

std::int64_t LiveDataWatch::nowMilliseconds() const {
    const ClockReading r = clock_.read();
    return r.utcSeconds * 1000 + r.hundredths * 10;
}

void LiveDataWatch::onDataRecord(const DataHeader& header, Bytes payload) {
    const std::int64_t now = clock_.utcSeconds();
    const std::int64_t nowMs = nowMilliseconds();
    for (int slot = 0; slot < kDataPortCount; ++slot) {
        if (header.counts[static_cast<std::size_t>(slot)] == 0)
            continue;
        const auto segment = payloadSegment(payload, header.counts, slot);
        if (!segment)
            continue;
        if (slot + 1 == kPlotAnalogPort)
            silence_.onAnalogData(now);
        else
            silence_.onPortData(slot + 1, now);
        plot_.onPortBytes(header.unit, slot + 1, *segment, nowMs);
    }
}

void LiveDataWatch::onSetupRecord(Bytes record) {
    SetupSnapshot snapshot;
    if (snapshot.store(record))
        silence_.setSetup(snapshot.decode());
}

void LiveDataWatch::onLoggerStatus(OperationCode code) {
    silence_.setSampling(code == OperationCode::Sampling, clock_.utcSeconds());
}

void LiveDataWatch::secondTick() {
    for (const SilenceAlarm& alarm : silence_.check(clock_.utcSeconds()))
        notices_.notice(alarm.caption, alarm.text, true);
    plot_.trim(nowMilliseconds());

    SilenceView next;
    std::string analog;
    for (int c = 0; c < kWatchedChannels; ++c) {
        const ChannelSilence& s = silence_.channel(c);
        auto& row = next.channels[static_cast<std::size_t>(c)];
        row.flagged = s.flagged;
        if (!s.flagged)
            continue;
        row.text = cformat("silent %lld s", static_cast<long long>(s.silentSeconds));
        if (c >= kLoggerPortCount)
            analog += cformat("%sAnalog %d %s", analog.empty() ? "" : ",  ",
                              c - kLoggerPortCount + 1, row.text.c_str());
    }
    next.SilentAnalogLabel.caption = analog;
    next.SilentAnalogLabel.visible = !analog.empty();
    if (next != *view_)
        view_.edit() = std::move(next);
}

}  // namespace cvh
