#include "session/live_plot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace cvh {
namespace {

Bytes text(const std::string& s) {
    return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

TEST(LivePlot, ColumnsSplitOnBlanksCommasAndTabs) {
    using Columns = std::array<int, kPlotColumns>;
    struct Case {
        const char* line;
        Columns columns;
        std::optional<std::array<double, kPlotColumns>> values;
    };
    const Case cases[] = {
        {"12.5, 3 ,x", {1, 2, 0, 0}, std::array<double, 4>{12.5, 3, 0, 0}},
        {"1\t\t2,,3", {0, 0, 3, 2}, std::array<double, 4>{0, 0, 3, 2}},
        {"+1.5e2 -0.25", {2, 1, 0, 0}, std::array<double, 4>{-0.25, 150, 0, 0}},
        {"T= 1", {1, 0, 0, 0}, std::nullopt},     // not a number
        {"1 2", {3, 0, 0, 0}, std::nullopt},      // no third field
        {"nan 1", {1, 0, 0, 0}, std::nullopt},    // not finite
        {"1.5.2 1", {1, 0, 0, 0}, std::nullopt},  // trailing bytes
        {"- 1", {1, 0, 0, 0}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parsePlotColumns(c.line, c.columns), c.values) << c.line;
}

TEST(LivePlot, LinesOfTheChosenPortAcrossPacketsSkippingWhatDoesNotParse) {
    LivePlot plot;
    plot.choose({2, 3, {2, 0, 0, 0}, 0});
    // The first bytes may be the tail of a line begun before the choice: never plotted.
    plot.onPortBytes(2, 3, text("7 8\r\nCTD 12."), 1000);
    plot.onPortBytes(1, 3, text("x 99\r\n"), 1000);  // another unit
    plot.onPortBytes(2, 4, text("x 99\r\n"), 1000);  // another port
    plot.onPortBytes(2, 3, text("5\r\nCTD ---\r\n\r\nCTD 13\n"), 2000);
    ASSERT_EQ(plot.series(0).size(), 2u);
    EXPECT_DOUBLE_EQ(plot.series(0)[0].value, 12.5);
    EXPECT_EQ(plot.series(0)[0].pcMilliseconds, 2000);
    EXPECT_DOUBLE_EQ(plot.series(0)[1].value, 13);
    EXPECT_EQ(plot.skippedLines(), 1u);
    EXPECT_EQ(plot.plottedLines(), 2u);
    // An endless line is dropped, not kept.
    plot.onPortBytes(2, 3, text(std::string(LivePlot::kMaxLineBytes + 10, '1') + "\r\n"), 3000);
    EXPECT_EQ(plot.skippedLines(), 2u);
    EXPECT_EQ(plot.series(0).size(), 2u);
}

TEST(LivePlot, AnalogChannelsInVolts) {
    LivePlot plot;
    plot.choose({2, kPlotAnalogPort, {3, 4, 0, 0}, 0});
    plot.onPortBytes(2, kPlotAnalogPort, text("\nAN 00001 1500  250\r\n"), 0);
    ASSERT_EQ(plot.series(1).size(), 1u);
    EXPECT_DOUBLE_EQ(plot.series(0)[0].value, 1.5);
    EXPECT_DOUBLE_EQ(plot.series(1)[0].value, 0.25);
}

TEST(LivePlot, MemoryStaysWithinTheWindowAndTheCap) {
    LivePlot plot;
    plot.choose({2, 1, {1, 0, 0, 0}, 0});  // one minute
    plot.onPortBytes(2, 1, text("\n"), 0);
    for (std::int64_t ms = 0; ms <= 180'000; ms += 500)
        plot.onPortBytes(2, 1, text("1\n"), ms);
    EXPECT_EQ(plot.series(0).size(), 121u);
    EXPECT_EQ(plot.series(0).front().pcMilliseconds, 120'000);
    plot.trim(600'000);  // nothing arrives for a while: the old points go all the same
    EXPECT_TRUE(plot.series(0).empty());

    plot.choose({2, 1, {1, 0, 0, 0}, 3});  // an hour of a very fast instrument
    for (std::size_t i = 0; i < LivePlot::kMaxPoints + 50; ++i)
        plot.onPortBytes(2, 1, text("1\n"), 700'000);
    EXPECT_EQ(plot.series(0).size(), LivePlot::kMaxPoints);
}

TEST(LivePlot, DrawingThinsLongSeriesButKeepsSpikes) {
    std::deque<PlotPoint> series;
    for (int i = 0; i < 10000; ++i)
        series.push_back({i, i == 4321 ? 99.0 : 1.0});
    const auto drawn = thinForDrawing(series, 1000);
    EXPECT_LE(drawn.size(), 1002u);
    EXPECT_TRUE(std::any_of(drawn.begin(), drawn.end(), [](auto& p) { return p.value == 99; }));
    EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end(), [](auto& a, auto& b) {
        return a.pcMilliseconds < b.pcMilliseconds;
    }));
}

}  // namespace
}  // namespace cvh
