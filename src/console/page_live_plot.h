// The "Live Plot" page: up to four numeric columns of one unit's port against PC time. The
// operator's choices go straight to the session's plot; the chart is redrawn at most four times
// a second, and only while the page is on screen, so a hidden plot costs nothing.
#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstdint>

class QComboBox;
class QLabel;
class QSpinBox;

QT_BEGIN_NAMESPACE
class QChart;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;
QT_END_NAMESPACE

namespace cvh {

class LiveDataWatch;

class LivePlotPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRepaintMilliseconds = 250;

    explicit LivePlotPage(LiveDataWatch& watch, QWidget* parent = nullptr);

    QSpinBox* PlotUnitUD;
    QComboBox* PlotPortCB;
    std::array<QSpinBox*, 4> PlotColumnUD{};
    QComboBox* PlotWindowCB;
    QLabel* PlotLinesLabel;

    // How often the chart was redrawn (the benchmark and tests watch it).
    std::uint64_t repaints() const { return repaints_; }
    // Redraws now when the data changed since the last drawing and the page is shown.
    void repaintIfChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void choiceEdited();
    void redraw();

    LiveDataWatch& watch_;
    QTimer timer_;
    QChart* chart_;
    QChartView* view_;
    QDateTimeAxis* xAxis_;
    QValueAxis* yAxis_;
    std::array<QLineSeries*, 4> series_{};
    std::uint64_t shownVersion_ = ~std::uint64_t{0};
    std::uint64_t repaints_ = 0;
};

}  // namespace cvh
