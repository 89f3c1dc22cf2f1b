// The live watchers of accepted data: the silent-instrument alarm and the live plot. Both see
// every data packet the receive loop accepts (live or replayed); the alarm also follows the
// received setup and the logger's status, and is checked once a second.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "base/clock.h"
#include "base/operator.h"
#include "link/receive_consumers.h"
#include "link/status_record.h"
#include "session/change_marks.h"
#include "session/live_plot.h"
#include "session/setup_exchange_forms.h"
#include "session/silence_watch.h"

namespace cvh {

// What the Data Status page shows of silent instruments.
struct SilenceView {
    struct Row {
        bool flagged = false;
        std::string text;  // "silent 42 s" while flagged
        bool operator==(const Row&) const = default;
    };
    std::array<Row, kWatchedChannels> channels;  // ports 1..8, then analog channels 1..7
    // One line under the analog voltages naming the silent channels; hidden when none.
    LabelState SilentAnalogLabel{"", false, Colour::Red};
    bool operator==(const SilenceView&) const = default;
};

class LiveDataWatch final : public DataSink {
public:
    LiveDataWatch(const Clock& clock, Operator& notices, ChangeMarks& marks);

    void onDataRecord(const DataHeader& header, Bytes payload) override;
    // A setup record received from the logger (refused when not one whole record).
    void onSetupRecord(Bytes record);
    void onLoggerStatus(OperationCode code);
    // The 1 s tick: raises a notice per newly silent channel, ages the plot.
    void secondTick();

    const SilenceView& silence() const { return *view_; }
    const SilenceWatch& silenceWatch() const { return silence_; }
    const LivePlot& plot() const { return plot_; }
    void choosePlot(const PlotChoice& choice) { plot_.choose(choice); }
    // PC time as the plot counts it.
    std::int64_t nowMilliseconds() const;

private:
    const Clock& clock_;
    Operator& notices_;
    SilenceWatch silence_;
    LivePlot plot_;
    Watched<SilenceView> view_;
};

}  // namespace cvh
