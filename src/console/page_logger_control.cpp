#include "console/page_logger_control.h"

#include <array>
#include <cstddef>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "config/logger_setup.h"
#include "console/widget_helpers.h"

namespace cvh {

namespace {

// Placeholder of the lists that only a received or restored setup fills in.
const QString kAskForSetup = QStringLiteral("Press Get Setup");

// The six durations in record order: component stem (DelayUD, DelayEdit, DelayCombo, DelayLB)
// and caption.
struct DurationRow {
    const char* stem;
    const char* caption;
};
constexpr std::array<DurationRow, kDurationCount> kDurations{{
    {"Delay", "Delay Before Start"},
    {"PreFlush", "Pre-Warm Up Flush"},
    {"Warmup", "Meter Warm Up"},
    {"Flush", "Meter Flush"},
    {"Sample", "Sample"},
    {"Interval", "Sample Interval"},
}};

QComboBox* unselectedCombo(QWidget* parent, const QString& name, const QStringList& items,
                           const QString& placeholder) {
    auto* box = named(new QComboBox(parent), name);
    box->addItems(items);
    box->setPlaceholderText(placeholder);
    box->setCurrentIndex(-1);
    return box;
}

// An up-down over one of the logger's ranges; a label beside it shows the value in its units.
QSpinBox* upDown(QWidget* parent, const QString& name, const SpinRange& range) {
    return cvh::upDown(parent, name, range.min, range.max, range.initial, range.step);
}

// Sampling times: number, spinner and unit per duration; returns the next free row.
int addDurationRows(QGridLayout* timingGrid, QWidget* page) {
    int row = 0;
    const QStringList units = itemList(kDurationUnitTexts);
    for (std::size_t i = 0; i < kDurations.size(); ++i) {
        const DurationRow& d = kDurations[i];
        const SpinRange& range = kDurationRanges[i];
        const QString stem = QString::fromLatin1(d.stem);
        auto* label = named(new QLabel(QString::fromLatin1(d.caption), page), stem + "LB");
        auto* spin = named(new QSpinBox(page), stem + "UD");
        spin->setRange(range.min, range.max);
        spin->setSingleStep(range.step);
        spin->setValue(range.initial);
        spin->findChild<QLineEdit*>()->setObjectName(stem + "Edit");
        spin->setMinimumWidth(90);
        auto* unit =
            unselectedCombo(page, stem + "Combo", units, units.at(kDurationInitialUnits[i]));
        timingGrid->addWidget(label, row, 0);
        timingGrid->addWidget(spin, row, 1);
        timingGrid->addWidget(unit, row, 2);
        ++row;
    }
    return row;
}

// Low-voltage cut-off in tenths of a volt, and the analog sample rate in Hz.
void addLimitRows(QGridLayout* timingGrid, QWidget* page, int row) {
    timingGrid->addWidget(named(new QLabel(QStringLiteral("Low Voltage Cut Off"), page),
                                QStringLiteral("LVCutOffLB")),
                          row, 0);
    auto* lowVoltage = new QHBoxLayout;
    lowVoltage->addWidget(upDown(page, QStringLiteral("UDLVCutOff"), kLowVoltageRange));
    lowVoltage->addWidget(
        named(new QLabel(QStringLiteral(" 6.5 V"), page), QStringLiteral("LBLowVoltage")));
    lowVoltage->addStretch(1);
    timingGrid->addLayout(lowVoltage, row, 1, 1, 2);
    ++row;
    timingGrid->addWidget(named(new QLabel(QStringLiteral("Analog Sample Rate"), page),
                                QStringLiteral("AnalogRateLB")),
                          row, 0);
    auto* rate = new QHBoxLayout;
    rate->addWidget(upDown(page, QStringLiteral("UDAnalogRate"), kAnalogRateRange));
    auto* rateLabel =
        named(new QLabel(QStringLiteral("1 Hz  1000 ms"), page), QStringLiteral("LBAnalogRate"));
    // Silver while the rate is safe for the chosen storage; the console recolours it.
    rateLabel->setAutoFillBackground(true);
    QPalette silver = rateLabel->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    silver.setColor(QPalette::WindowText, Qt::black);
    rateLabel->setPalette(silver);
    rateLabel->setMargin(3);
    rateLabel->setMinimumWidth(110);
    rate->addWidget(rateLabel);
    rate->addStretch(1);
    timingGrid->addLayout(rate, row, 1, 1, 2);
}

QGroupBox* buildTimingGroup(QWidget* page) {
    auto* timing = named(new QGroupBox(QStringLiteral("Sample Timing"), page),
                         QStringLiteral("SampleTimingGB"));
    auto* timingGrid = new QGridLayout(timing);
    timingGrid->setHorizontalSpacing(10);
    const int row = addDurationRows(timingGrid, page);
    // The sample interval belongs to the moored modes only.
    for (const char* suffix : {"LB", "UD", "Combo"})
        timing->findChild<QWidget*>(QStringLiteral("Interval") + suffix)->setVisible(false);
    addLimitRows(timingGrid, page, row);
    return timing;
}

// What the logger does with its data.
QGroupBox* buildOperationGroup(QWidget* page) {
    auto* setup = named(new QGroupBox(QStringLiteral("Logger Operation"), page),
                        QStringLiteral("LoggerOperationGB"));
    auto* setupGrid = new QGridLayout(setup);
    setupGrid->setHorizontalSpacing(10);
    struct Choice {
        const char* label;
        const char* caption;
        const char* box;
        QStringList items;
    };
    const Choice choices[] = {
        {"ModeLB", "Mode of Operation", "ModeCB", itemList(kModeTexts)},
        {"OutputLB", "Logger Output Format", "OutputCB", itemList(kOutputFormatTexts)},
        {"FileLB", "Logged Data File Format", "FileCB", itemList(kFileFormatTexts)},
        {"TimeSourceLB", "Moored Time Source", "TimeSourceCB", itemList(kTimeSourceTexts)},
    };
    int row = 0;
    for (const Choice& c : choices) {
        setupGrid->addWidget(
            named(new QLabel(QString::fromLatin1(c.caption), page), QString::fromLatin1(c.label)),
            row, 0);
        auto* box = unselectedCombo(page, QString::fromLatin1(c.box), c.items, kAskForSetup);
        box->setMinimumWidth(200);
        setupGrid->addWidget(box, row, 1);
        ++row;
    }
    // The moored time source is offered only while its menu item is checked.
    auto* timeSource = setup->findChild<QComboBox*>(QStringLiteral("TimeSourceCB"));
    timeSource->setCurrentIndex(0);
    timeSource->setVisible(false);
    setup->findChild<QLabel*>(QStringLiteral("TimeSourceLB"))->setVisible(false);
    setupGrid->addWidget(named(new QCheckBox(QStringLiteral("Start Sample When Powered"), page),
                               QStringLiteral("CBAutoStart")),
                         row++, 0, 1, 2);
    // Kept only for the host setup file; nothing reads it.
    auto* dateAndTime = named(new QCheckBox(QStringLiteral("Add Date/Time to Archive File"), page),
                              QStringLiteral("DandTCB"));
    dateAndTime->setVisible(false);
    setupGrid->addWidget(dateAndTime, row, 0, 1, 2);
    return setup;
}

// Run control.
QGroupBox* buildOperationalControls(QWidget* page) {
    auto* operations = named(new QGroupBox(QStringLiteral("Operational Controls"), page),
                             QStringLiteral("GroupBox7"));
    auto* operationsBox = new QVBoxLayout(operations);
    operationsBox->addWidget(
        named(new QPushButton(QStringLiteral("Begin Sample"), page), QStringLiteral("BTBegin")));
    operationsBox->addWidget(
        named(new QPushButton(QStringLiteral("Stop"), page), QStringLiteral("BTStop")));
    auto* sleep = named(new QPushButton(QStringLiteral("Sleep"), page), QStringLiteral("BTSleep"));
    sleep->setVisible(false);
    operationsBox->addWidget(sleep);
    addPolledButtons(operationsBox, page, 3);
    operationsBox->addStretch(1);
    return operations;
}

}  // namespace

LoggerControlPage::LoggerControlPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSLoggerControl"));
    auto* timing = buildTimingGroup(this);
    auto* setup = buildOperationGroup(this);
    auto* operations = buildOperationalControls(this);

    auto* buttons = setupExchangeRow(this, 2);
    buttons->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(setup);
    right->addWidget(operations);
    right->addStretch(1);
    auto* left = new QVBoxLayout;
    left->addWidget(timing);
    left->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addSpacing(16);
    columns->addLayout(right);
    columns->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(buttons);
    page->addSpacing(8);
    page->addLayout(columns);
}

}  // namespace cvh
