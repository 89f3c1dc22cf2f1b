#include "console/page_live_plot.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <algorithm>
#include <limits>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "link/link_statistics.h"
#include "session/live_data_watch.h"

namespace cvh {

namespace {

// Enough for any plot width; more points only cost drawing time.
constexpr std::size_t kDrawnPoints = 1600;

QSpinBox* spin(QWidget* parent, const char* name, int lo, int hi, int value) {
    auto* s = named(new QSpinBox(parent), name);
    s->setRange(lo, hi);
    s->setValue(value);
    return s;
}

}  // namespace

LivePlotPage::LivePlotPage(LiveDataWatch& watch, QWidget* parent) : QWidget(parent), watch_(watch) {
    setObjectName(QStringLiteral("TSLivePlot"));
    const PlotChoice& c = watch_.plot().choice();
    auto* top = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;

    PlotUnitUD = spin(this, "PlotUnitUD", 0, kUnitCount - 1, c.unit);
    PlotPortCB = named(new QComboBox(this), "PlotPortCB");
    for (int p = 1; p <= 8; ++p)
        PlotPortCB->addItem(QStringLiteral("Port %1").arg(p));
    PlotPortCB->addItem(QStringLiteral("Analog (Volts)"));
    PlotPortCB->setCurrentIndex(c.port - 1);
    controls->addWidget(new QLabel(QStringLiteral("Logger ID:"), this));
    controls->addWidget(PlotUnitUD);
    controls->addWidget(PlotPortCB);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("Columns:"), this));
    for (std::size_t k = 0; k < PlotColumnUD.size(); ++k) {
        auto* s = named(new QSpinBox(this), QStringLiteral("PlotColumn%1UD").arg(k + 1));
        s->setRange(0, 64);
        s->setSpecialValueText(QStringLiteral("off"));
        s->setValue(c.columns[k]);
        PlotColumnUD[k] = s;
        controls->addWidget(s);
    }
    controls->addSpacing(12);
    PlotWindowCB = named(new QComboBox(this), "PlotWindowCB");
    for (int minutes : kPlotWindowMinutes)
        PlotWindowCB->addItem(QStringLiteral("%1 min").arg(minutes));
    PlotWindowCB->setCurrentIndex(c.window);
    controls->addWidget(PlotWindowCB);
    controls->addStretch();
    PlotLinesLabel = named(new QLabel(this), "PlotLinesLabel");
    controls->addWidget(PlotLinesLabel);
    top->addLayout(controls);

    chart_ = new QChart;
    chart_->legend()->setAlignment(Qt::AlignBottom);
    xAxis_ = new QDateTimeAxis(chart_);
    xAxis_->setFormat(QStringLiteral("HH:mm:ss"));
    xAxis_->setTitleText(QStringLiteral("PC time"));
    yAxis_ = new QValueAxis(chart_);
    chart_->addAxis(xAxis_, Qt::AlignBottom);
    chart_->addAxis(yAxis_, Qt::AlignLeft);
    for (std::size_t k = 0; k < series_.size(); ++k) {
        auto* s = new QLineSeries(chart_);
        chart_->addSeries(s);
        s->attachAxis(xAxis_);
        s->attachAxis(yAxis_);
        series_[k] = s;
    }
    view_ = named(new QChartView(chart_, this), "PlotChart");
    view_->setRenderHint(QPainter::Antialiasing, false);
    top->addWidget(view_, 1);

    for (QSpinBox* s : PlotColumnUD)
        connect(s, &QSpinBox::valueChanged, this, [this] { choiceEdited(); });
    connect(PlotUnitUD, &QSpinBox::valueChanged, this, [this] { choiceEdited(); });
    connect(PlotPortCB, &QComboBox::activated, this, [this] { choiceEdited(); });
    connect(PlotWindowCB, &QComboBox::activated, this, [this] { choiceEdited(); });
    timer_.setInterval(kRepaintMilliseconds);
    connect(&timer_, &QTimer::timeout, this, &LivePlotPage::repaintIfChanged);
    redraw();
}

void LivePlotPage::choiceEdited() {
    PlotChoice c;
    c.unit = PlotUnitUD->value();
    c.port = PlotPortCB->currentIndex() + 1;
    for (std::size_t k = 0; k < PlotColumnUD.size(); ++k)
        c.columns[k] = PlotColumnUD[k]->value();
    c.window = PlotWindowCB->currentIndex();
    watch_.choosePlot(c);
    repaintIfChanged();
}

void LivePlotPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
    repaintIfChanged();
}

void LivePlotPage::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void LivePlotPage::repaintIfChanged() {
    if (!isVisible() || watch_.plot().version() == shownVersion_)
        return;
    redraw();
}

void LivePlotPage::redraw() {
    const LivePlot& plot = watch_.plot();
    shownVersion_ = plot.version();
    ++repaints_;
    std::int64_t first = std::numeric_limits<std::int64_t>::max();
    std::int64_t last = std::numeric_limits<std::int64_t>::min();
    double lo = std::numeric_limits<double>::max();
    double hi = std::numeric_limits<double>::lowest();
    const bool volts = plot.choice().port == kPlotAnalogPort;
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const int column = plot.choice().columns[k];
        QLineSeries* s = series_[k];
        s->setVisible(column > 0);
        s->setName(QStringLiteral("Column %1").arg(column));
        QList<QPointF> points;
        if (column > 0) {
            const auto drawn = thinForDrawing(plot.series(static_cast<int>(k)), kDrawnPoints);
            points.reserve(static_cast<qsizetype>(drawn.size()));
            for (const PlotPoint& p : drawn) {
                points.append(QPointF(static_cast<qreal>(p.pcMilliseconds), p.value));
                lo = std::min(lo, p.value);
                hi = std::max(hi, p.value);
            }
            if (!drawn.empty()) {
                first = std::min(first, drawn.front().pcMilliseconds);
                last = std::max(last, drawn.back().pcMilliseconds);
            }
        }
        s->replace(points);
    }
    // The axes follow the data: the whole time span shown, the values with a little margin.
    // Nothing yet: the chosen window up to now, values 0..1.
    const bool empty = first > last;
    if (empty) {
        last = watch_.nowMilliseconds();
        first = last - plot.windowMilliseconds();
        lo = 0;
        hi = 1;
    }
    if (last - first < 1000)
        first = last - 1000;
    const double margin = empty ? 0.0 : hi > lo ? (hi - lo) * 0.05 : 1.0;
    xAxis_->setRange(QDateTime::fromMSecsSinceEpoch(first), QDateTime::fromMSecsSinceEpoch(last));
    yAxis_->setRange(lo - margin, hi + margin);
    yAxis_->applyNiceNumbers();
    yAxis_->setTitleText(volts ? QStringLiteral("Volts") : QString());
    setText(PlotLinesLabel, plotCountsText(plot.plottedLines(), plot.skippedLines()));
}

}  // namespace cvh
