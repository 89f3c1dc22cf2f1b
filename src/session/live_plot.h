// The live plot's data: the text lines of one unit's port, as the receive loop accepts them
// (live or replayed), split into fields, with up to four numeric columns kept as series against
// PC time. Only the chosen window is kept, and never more than kMaxPoints per series, so memory
// stays bounded however fast an instrument talks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/bytes.h"

namespace cvh {

inline constexpr int kPlotColumns = 4;
inline constexpr int kPlotAnalogPort = 9;  // the data slot after serial ports 1..8
inline constexpr std::array<int, 4> kPlotWindowMinutes{1, 5, 15, 60};

struct PlotChoice {
    int unit = 2;  // the sending unit, as the Real Time Data page's logger ID
    int port = 1;  // 1..8 serial ports, kPlotAnalogPort the analog channels
    // Field numbers (1 = first field of a line) of the plotted columns; 0 = not plotted.
    std::array<int, kPlotColumns> columns{1, 0, 0, 0};
    int window = 0;  // index into kPlotWindowMinutes
    bool operator==(const PlotChoice&) const = default;
};

struct PlotPoint {
    std::int64_t pcMilliseconds = 0;  // PC time, UTC milliseconds since 1970
    double value = 0;
};

// Splits a line into fields on blanks, commas and tabs (runs count as one separator).
template <class Visit>
void forEachField(std::string_view line, Visit&& visit) {
    std::size_t i = 0;
    while (i < line.size()) {
        const std::size_t start = line.find_first_not_of(" ,\t", i);
        if (start == std::string_view::npos)
            return;
        const std::size_t end = std::min(line.find_first_of(" ,\t", start), line.size());
        if (!visit(line.substr(start, end - start)))
            return;
        i = end;
    }
}

// A field as a finite number ("+1.5", "-3", "2e3"); nothing for anything else.
std::optional<double> parseNumber(std::string_view field);

// The chosen columns of one line, or nothing when one of them is missing or not a number.
std::optional<std::array<double, kPlotColumns>> parsePlotColumns(
    std::string_view line, const std::array<int, kPlotColumns>& columns);

// At most about `maxPoints` of a series for drawing: each run of neighbours gives its lowest and
// highest point, so spikes stay visible however many points the window holds.
std::vector<PlotPoint> thinForDrawing(const std::deque<PlotPoint>& series, std::size_t maxPoints);

// "Lines plotted: 120   skipped: 3"
std::string plotCountsText(std::uint64_t plotted, std::uint64_t skipped);

class LivePlot {
public:
    static constexpr std::size_t kMaxLineBytes = 1024;
    static constexpr std::size_t kMaxPoints = 20000;

    const PlotChoice& choice() const { return choice_; }
    // A new unit, port or column set starts the series afresh; a new window trims them.
    void choose(const PlotChoice& choice);

    // A port's bytes from an accepted data packet of `unit` (port 1..9), at PC time `nowMs`.
    void onPortBytes(int unit, int port, Bytes bytes, std::int64_t nowMs);
    // Drops what has left the window (also while nothing arrives).
    void trim(std::int64_t nowMs);

    const std::deque<PlotPoint>& series(int column) const {
        return series_[static_cast<std::size_t>(column)];
    }
    std::uint64_t skippedLines() const { return skipped_; }
    std::uint64_t plottedLines() const { return plotted_; }
    // Changes whenever the series or the counts change: the page repaints only then.
    std::uint64_t version() const { return version_; }
    std::int64_t windowMilliseconds() const;

private:
    void endLine(std::int64_t nowMs);
    void clear();

    PlotChoice choice_;
    std::array<std::deque<PlotPoint>, kPlotColumns> series_;
    std::string line_;
    // After a new choice the first bytes may start mid-line: they wait for a line end.
    bool midLine_ = true;
    bool overlong_ = false;
    std::uint64_t skipped_ = 0;
    std::uint64_t plotted_ = 0;
    std::uint64_t version_ = 0;
};

}  // namespace cvh
