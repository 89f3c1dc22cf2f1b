#include "console/page_logger_control.h"

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

namespace cvh {

namespace {

template <class W>
W* named(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

const QStringList kModes{"Profile Mode",      "Moored Mode",       "Real Time Mode",
                         "Analog Mode",       "Run Logger Port 1", "Run Logger Port 2",
                         "Run Logger Port 3", "Run Logger Port 4", "Run Logger Port 5",
                         "Run Logger Port 6", "Run Logger Port 7", "Run Logger Port 8",
                         "Polled Moored Mode"};

const QStringList kOutputs{"Status",
                           "Real Time Data + Status",
                           "Real Time Data",
                           "Analog Data",
                           "Output Logger Port 1",
                           "Output Logger Port 2",
                           "Output Logger Port 3",
                           "Output Logger Port 4",
                           "Output Logger Port 5",
                           "Output Logger Port 6",
                           "Output Logger Port 7",
                           "Output Logger Por 8"};

const QStringList kFileFormats{"No Data Storage", "CV Archive Files"};

const QStringList kTimeSources{"Internal - No Time Updates", "Host PC Time", "GPS Time",
                               "GPS Time or Host PC  "};

const QStringList kUnits{"Seconds", "Minutes", "Hours"};

// Placeholder of the lists that only a received or restored setup fills in.
const QString kAskForSetup = QStringLiteral("Press Get Setup");

struct DurationRow {
    const char* stem;  // DelayUD, DelayEdit, DelayCombo, DelayLB
    const char* caption;
    int min;
    int max;
    const char* unit;  // shown until a setup arrives
};

// Ranges bound the number before the unit applies.
constexpr DurationRow kDurations[] = {
    {"Delay", "Delay Before Start", 0, 100, "Seconds"},
    {"PreFlush", "Pre-Warm Up Flush", 0, 300, "Seconds"},
    {"Warmup", "Meter Warm Up", 0, 10000, "Seconds"},
    {"Flush", "Meter Flush", 0, 300, "Seconds"},
    {"Sample", "Sample", 1, 10000, "Seconds"},
    {"Interval", "Sample Interval", 1, 10000, "Minutes"},
};
constexpr int kDurationStep = 5;
constexpr int kDurationInitial = 5;

QComboBox* unselectedCombo(QWidget* parent, const QString& name, const QStringList& items,
                           const QString& placeholder) {
    auto* box = named(new QComboBox(parent), name);
    box->addItems(items);
    box->setPlaceholderText(placeholder);
    box->setCurrentIndex(-1);
    return box;
}

// An up-down whose value a label beside it shows in the logger's units: only the arrows show.
QSpinBox* upDown(QWidget* parent, const QString& name, int min, int max, int value) {
    auto* spin = named(new QSpinBox(parent), name);
    spin->setRange(min, max);
    spin->setValue(value);
    spin->findChild<QLineEdit*>()->setVisible(false);
    spin->setFixedWidth(22);
    return spin;
}

}  // namespace

LoggerControlPage::LoggerControlPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSLoggerControl"));

    // Sampling times: number, spinner and unit per duration.
    auto* timing = named(new QGroupBox(QStringLiteral("Sample Timing"), this),
                         QStringLiteral("SampleTimingGB"));
    auto* timingGrid = new QGridLayout(timing);
    timingGrid->setHorizontalSpacing(10);
    int row = 0;
    for (const DurationRow& d : kDurations) {
        const QString stem = QString::fromLatin1(d.stem);
        auto* label = named(new QLabel(QString::fromLatin1(d.caption), this), stem + "LB");
        auto* spin = named(new QSpinBox(this), stem + "UD");
        spin->setRange(d.min, d.max);
        spin->setSingleStep(kDurationStep);
        spin->setValue(kDurationInitial);
        spin->findChild<QLineEdit*>()->setObjectName(stem + "Edit");
        spin->setMinimumWidth(90);
        auto* unit = unselectedCombo(this, stem + "Combo", kUnits, QString::fromLatin1(d.unit));
        timingGrid->addWidget(label, row, 0);
        timingGrid->addWidget(spin, row, 1);
        timingGrid->addWidget(unit, row, 2);
        ++row;
    }
    // The sample interval belongs to the moored modes only.
    for (const char* suffix : {"LB", "UD", "Combo"})
        timing->findChild<QWidget*>(QStringLiteral("Interval") + suffix)->setVisible(false);

    // Low-voltage cut-off in tenths of a volt, and the analog sample rate in Hz.
    timingGrid->addWidget(named(new QLabel(QStringLiteral("Low Voltage Cut Off"), this),
                                QStringLiteral("LVCutOffLB")),
                          row, 0);
    auto* lowVoltage = new QHBoxLayout;
    lowVoltage->addWidget(upDown(this, QStringLiteral("UDLVCutOff"), 65, 140, 65));
    lowVoltage->addWidget(
        named(new QLabel(QStringLiteral(" 6.5 V"), this), QStringLiteral("LBLowVoltage")));
    lowVoltage->addStretch(1);
    timingGrid->addLayout(lowVoltage, row, 1, 1, 2);
    ++row;
    timingGrid->addWidget(named(new QLabel(QStringLiteral("Analog Sample Rate"), this),
                                QStringLiteral("AnalogRateLB")),
                          row, 0);
    auto* rate = new QHBoxLayout;
    rate->addWidget(upDown(this, QStringLiteral("UDAnalogRate"), 1, 20, 1));
    auto* rateLabel =
        named(new QLabel(QStringLiteral("1 Hz  1000 ms"), this), QStringLiteral("LBAnalogRate"));
    rateLabel->setAutoFillBackground(true);
    rateLabel->setMinimumWidth(110);
    rate->addWidget(rateLabel);
    rate->addStretch(1);
    timingGrid->addLayout(rate, row, 1, 1, 2);

    // What the logger does with its data.
    auto* setup = named(new QGroupBox(QStringLiteral("Logger Operation"), this),
                        QStringLiteral("LoggerOperationGB"));
    auto* setupGrid = new QGridLayout(setup);
    setupGrid->setHorizontalSpacing(10);
    struct Choice {
        const char* label;
        const char* caption;
        const char* box;
        const QStringList* items;
    };
    const Choice choices[] = {
        {"ModeLB", "Mode of Operation", "ModeCB", &kModes},
        {"OutputLB", "Logger Output Format", "OutputCB", &kOutputs},
        {"FileLB", "Logged Data File Format", "FileCB", &kFileFormats},
        {"TimeSourceLB", "Moored Time Source", "TimeSourceCB", &kTimeSources},
    };
    row = 0;
    for (const Choice& c : choices) {
        setupGrid->addWidget(
            named(new QLabel(QString::fromLatin1(c.caption), this), QString::fromLatin1(c.label)),
            row, 0);
        auto* box = unselectedCombo(this, QString::fromLatin1(c.box), *c.items, kAskForSetup);
        box->setMinimumWidth(200);
        setupGrid->addWidget(box, row, 1);
        ++row;
    }
    // The moored time source is offered only while its menu item is checked.
    auto* timeSource = setup->findChild<QComboBox*>(QStringLiteral("TimeSourceCB"));
    timeSource->setCurrentIndex(0);
    timeSource->setVisible(false);
    setup->findChild<QLabel*>(QStringLiteral("TimeSourceLB"))->setVisible(false);
    setupGrid->addWidget(named(new QCheckBox(QStringLiteral("Start Sample When Powered"), this),
                               QStringLiteral("CBAutoStart")),
                         row++, 0, 1, 2);
    // Kept only for the host setup file; nothing reads it.
    auto* dateAndTime = named(new QCheckBox(QStringLiteral("Add Date/Time to Archive File"), this),
                              QStringLiteral("DandTCB"));
    dateAndTime->setVisible(false);
    setupGrid->addWidget(dateAndTime, row++, 0, 1, 2);

    // Run control.
    auto* operations = named(new QGroupBox(QStringLiteral("Operational Controls"), this),
                             QStringLiteral("GroupBox7"));
    auto* operationsBox = new QVBoxLayout(operations);
    operationsBox->addWidget(
        named(new QPushButton(QStringLiteral("Begin Sample"), this), QStringLiteral("BTBegin")));
    operationsBox->addWidget(
        named(new QPushButton(QStringLiteral("Stop"), this), QStringLiteral("BTStop")));
    auto* sleep = named(new QPushButton(QStringLiteral("Sleep"), this), QStringLiteral("BTSleep"));
    sleep->setVisible(false);
    operationsBox->addWidget(sleep);
    auto* wake =
        named(new QPushButton(QStringLiteral("Polled-Wake"), this), QStringLiteral("Button3"));
    auto* polledSleep =
        named(new QPushButton(QStringLiteral("Polled-Sleep"), this), QStringLiteral("Button4"));
    wake->setVisible(false);
    polledSleep->setVisible(false);
    operationsBox->addWidget(wake);
    operationsBox->addWidget(polledSleep);
    operationsBox->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(
        named(new QPushButton(QStringLiteral("Get Setup"), this), QStringLiteral("BTGetSetup2")));
    buttons->addWidget(
        named(new QPushButton(QStringLiteral("Send Setup"), this), QStringLiteral("BTSendSetup2")));
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
