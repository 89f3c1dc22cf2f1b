#include "session/live_plot.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/cformat.h"
#include "session/live_format.h"

namespace cvh {

std::optional<double> parseNumber(std::string_view field) {
    // from_chars takes no leading '+', which instruments do write.
    if (!field.empty() && field.front() == '+')
        field.remove_prefix(1);
    if (field.empty() || field.front() == '+' || field.front() == '-')
        if (field.size() < 2 || field[1] == '+' || field[1] == '-')
            return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value,
                                           std::chars_format::general);
    if (ec != std::errc() || end != field.data() + field.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<std::array<double, kPlotColumns>> parsePlotColumns(
    std::string_view line, const std::array<int, kPlotColumns>& columns) {
    const int last = *std::max_element(columns.begin(), columns.end());
    std::array<double, kPlotColumns> values{};
    std::array<bool, kPlotColumns> found{};
    int number = 0;
    forEachField(line, [&](std::string_view field) {
        ++number;
        for (std::size_t k = 0; k < columns.size(); ++k) {
            if (columns[k] != number)
                continue;
            if (const auto v = parseNumber(field)) {
                values[k] = *v;
                found[k] = true;
            }
        }
        return number < last;
    });
    for (std::size_t k = 0; k < columns.size(); ++k)
        if (columns[k] > 0 && !found[k])
            return std::nullopt;
    return values;
}

std::vector<PlotPoint> thinForDrawing(const std::deque<PlotPoint>& series, std::size_t maxPoints) {
    std::vector<PlotPoint> out;
    const std::size_t n = series.size();
    if (n <= maxPoints || maxPoints < 2) {
        out.assign(series.begin(), series.end());
        return out;
    }
    const std::size_t run = (2 * n + maxPoints - 1) / maxPoints;
    out.reserve(2 * (n / run + 1));
    for (std::size_t i = 0; i < n; i += run) {
        const auto first = series.begin() + static_cast<std::ptrdiff_t>(i);
        const auto last = series.begin() + static_cast<std::ptrdiff_t>(std::min(n, i + run));
        const auto [lo, hi] = std::minmax_element(
            first, last, [](const PlotPoint& a, const PlotPoint& b) { return a.value < b.value; });
        if (lo->pcMilliseconds <= hi->pcMilliseconds) {
            out.push_back(*lo);
            if (hi != lo)
                out.push_back(*hi);
        } else {
            out.push_back(*hi);
            out.push_back(*lo);
        }
    }
    return out;
}

std::string plotCountsText(std::uint64_t plotted, std::uint64_t skipped) {
    return cformat("Lines plotted: %llu   skipped: %llu", static_cast<unsigned long long>(plotted),
                   static_cast<unsigned long long>(skipped));
}

std::int64_t LivePlot::windowMilliseconds() const {
    const auto w = static_cast<std::size_t>(
        std::clamp(choice_.window, 0, static_cast<int>(kPlotWindowMinutes.size()) - 1));
    return kPlotWindowMinutes[w] * 60'000LL;
}

void LivePlot::choose(const PlotChoice& choice) {
    const bool restart = choice.unit != choice_.unit || choice.port != choice_.port ||
                         choice.columns != choice_.columns;
    choice_ = choice;
    if (restart)
        clear();
    ++version_;
}

void LivePlot::clear() {
    for (auto& s : series_)
        s.clear();
    line_.clear();
    midLine_ = true;
    overlong_ = false;
    skipped_ = 0;
    plotted_ = 0;
}

void LivePlot::onPortBytes(int unit, int port, Bytes bytes, std::int64_t nowMs) {
    if (unit != choice_.unit || port != choice_.port)
        return;
    for (const std::uint8_t b : bytes) {
        if (b == '\r' || b == '\n') {
            endLine(nowMs);
            continue;
        }
        if (midLine_ || overlong_)
            continue;
        if (line_.size() >= kMaxLineBytes) {
            // No instrument line is this long: it is noise, dropped up to the next line end.
            overlong_ = true;
            line_.clear();
            ++skipped_;
            ++version_;
            continue;
        }
        line_.push_back(static_cast<char>(b));
    }
}

void LivePlot::endLine(std::int64_t nowMs) {
    const bool wasMidLine = midLine_ || overlong_;
    midLine_ = overlong_ = false;
    if (wasMidLine || line_.empty()) {
        line_.clear();
        return;
    }
    const bool anyColumn =
        std::any_of(choice_.columns.begin(), choice_.columns.end(), [](int c) { return c > 0; });
    const auto values = anyColumn ? parsePlotColumns(line_, choice_.columns) : std::nullopt;
    line_.clear();
    if (!anyColumn)
        return;
    ++version_;
    if (!values) {
        ++skipped_;
        return;
    }
    ++plotted_;
    for (std::size_t k = 0; k < series_.size(); ++k) {
        if (choice_.columns[k] <= 0)
            continue;
        // The analog slot carries thousandths of a volt, shown in volts as on the status page.
        const double v =
            choice_.port == kPlotAnalogPort ? voltsFromThousandths((*values)[k]) : (*values)[k];
        auto& s = series_[k];
        s.push_back({nowMs, v});
        if (s.size() > kMaxPoints)
            s.pop_front();
    }
    trim(nowMs);
}

void LivePlot::trim(std::int64_t nowMs) {
    const std::int64_t oldest = nowMs - windowMilliseconds();
    for (auto& s : series_) {
        bool dropped = false;
        while (!s.empty() && s.front().pcMilliseconds < oldest) {
            s.pop_front();
            dropped = true;
        }
        if (dropped)
            ++version_;
    }
}

}  // namespace cvh
