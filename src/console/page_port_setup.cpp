#include "console/page_port_setup.h"

#include <array>
#include <cstddef>

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/logger_setup.h"
#include "console/widget_helpers.h"
#include "link/serial_port_table.h"

namespace cvh {

namespace {

// A list that starts with nothing selected shows its placeholder until a setup arrives.
QComboBox* unselectedCombo(QWidget* parent, const QString& name, const QStringList& items,
                           const QString& placeholder) {
    auto* box = named(new QComboBox(parent), name);
    box->addItems(items);
    box->setPlaceholderText(placeholder);
    box->setCurrentIndex(-1);
    return box;
}

// Once-per-hour boxes are hidden until moored logging is selected.
QCheckBox* oncePerHourBox(QWidget* parent, const QString& name) {
    auto* box = named(new QCheckBox(parent), name);
    box->setVisible(false);
    return box;
}

QLabel* sectionLabel(QWidget* parent, const QString& name, const QString& text) {
    auto* label = named(new QLabel(text, parent), name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

// The "Once" / "per Hour" header of a once-per-hour column, hidden with the column.
void addOncePerHourHeader(QGridLayout* grid, QWidget* parent, const char* stem, int column) {
    auto* once = named(new QLabel(QStringLiteral("Once"), parent), numbered(stem, 1));
    auto* perHour = named(new QLabel(QStringLiteral("per Hour"), parent), numbered(stem, 2));
    for (QLabel* label : {once, perHour}) {
        label->setAlignment(Qt::AlignHCenter);
        label->setVisible(false);
    }
    grid->addWidget(once, 0, column);
    grid->addWidget(perHour, 1, column);
}

// Serial ports: label, meter type, line choice, once-per-hour.
QGridLayout* buildSerialRows(QWidget* page) {
    // Value 13 of a meter type can arrive from the logger but is not offered; "ON" switches a
    // pump port on without a serial line.
    const QStringList meterTypes = itemList(kMeterTypeTexts);
    const QStringList portSetups = itemList(kPortSetupTexts);
    auto* serial = new QGridLayout;
    serial->setHorizontalSpacing(10);
    serial->addWidget(
        sectionLabel(page, QStringLiteral("LBSerialSetup"), QStringLiteral("Serial Ports")), 0, 0,
        1, 3);
    serial->addWidget(
        named(new QLabel(QStringLiteral("Meter Type"), page), QStringLiteral("LBMeterTypeHeader")),
        1, 1);
    serial->addWidget(
        named(new QLabel(QStringLiteral("Port Setup"), page), QStringLiteral("LBPortSetupHeader")),
        1, 2);
    addOncePerHourHeader(serial, page, "SOPHLB", 3);
    for (int n = 1; n <= kLoggerPortCount; ++n) {
        const int row = n + 1;
        serial->addWidget(
            named(new QLabel(QStringLiteral("Port %1:").arg(n), page), numbered("LBS", n)), row, 0);
        serial->addWidget(
            unselectedCombo(page, numbered("ComboMeter", n), meterTypes, QStringLiteral("OFF")),
            row, 1);
        serial->addWidget(unselectedCombo(page, QStringLiteral("CBPort%1Setup").arg(n), portSetups,
                                          QStringLiteral("OFF")),
                          row, 2);
        serial->addWidget(oncePerHourBox(page, numbered("SOPH", n)), row, 3, Qt::AlignHCenter);
    }
    // The logger's own host port has the twelve line choices only; the status display
    // captions its row label.
    const int hostRow = kLoggerPortCount + 2;
    serial->addWidget(named(new QLabel(QStringLiteral("Host:"), page), QStringLiteral("HostType")),
                      hostRow, 0);
    serial->addWidget(unselectedCombo(page, QStringLiteral("CBHostPortSetup"),
                                      itemList(kLineChoiceTexts), QStringLiteral("OFF")),
                      hostRow, 2);
    serial->setRowMinimumHeight(hostRow, 36);
    serial->setColumnMinimumWidth(1, 150);
    serial->setColumnMinimumWidth(2, 130);
    return serial;
}

// Analog channels (logger ports 9..15).
QGridLayout* buildAnalogRows(QWidget* page) {
    auto* analog = new QGridLayout;
    analog->setHorizontalSpacing(10);
    analog->addWidget(
        sectionLabel(page, QStringLiteral("LBAnalogSetup"), QStringLiteral("Analog Ports")), 0, 0,
        1, 2);
    addOncePerHourHeader(analog, page, "AOPHLB", 2);
    for (int n = 1; n <= kAnalogChannelCount; ++n) {
        const int row = n + 1;
        analog->addWidget(
            named(new QLabel(QStringLiteral("Port %1").arg(n + 8), page), numbered("LBAnalog", n)),
            row, 0);
        auto* box = named(new QComboBox(page), numbered("CBAnalog", n));
        for (int i = 0; i < analogSettingCount(); ++i)
            box->addItem(QString::fromStdString(analogSettingText(n, i)));
        box->setCurrentIndex(0);
        analog->addWidget(box, row, 1);
        analog->addWidget(oncePerHourBox(page, numbered("AOPH", n)), row, 2, Qt::AlignHCenter);
    }
    analog->setColumnMinimumWidth(1, 150);
    return analog;
}

// Pump ports (logger ports 16..19); pump 4 can also purge.
QGridLayout* buildPumpRows(QWidget* page) {
    auto* pump = new QGridLayout;
    pump->setHorizontalSpacing(10);
    pump->addWidget(
        sectionLabel(page, QStringLiteral("LBPump"), QStringLiteral("    Pump Ports    ")), 0, 0, 1,
        2);
    addOncePerHourHeader(pump, page, "POPHLB", 2);
    for (int n = 1; n <= kPumpPortCount; ++n) {
        const int row = n + 1;
        pump->addWidget(
            named(new QLabel(QStringLiteral("Port %1").arg(n + 15), page), numbered("LBPump", n)),
            row, 0);
        auto* box = named(new QComboBox(page), numbered("CBPump", n));
        for (int i = 0; i < pumpSettingCount(n); ++i)
            box->addItem(QString::fromStdString(pumpSettingText(n, i)));
        box->setCurrentIndex(0);
        pump->addWidget(box, row, 1);
        pump->addWidget(oncePerHourBox(page, numbered("POPH", n)), row, 2, Qt::AlignHCenter);
    }
    pump->setColumnMinimumWidth(1, 150);
    return pump;
}

}  // namespace

PortSetupPage::PortSetupPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSPortSetup"));
    auto* serial = buildSerialRows(this);
    auto* analog = buildAnalogRows(this);
    auto* pump = buildPumpRows(this);

    auto* right = new QVBoxLayout;
    right->addLayout(analog);
    right->addSpacing(16);
    right->addLayout(pump);
    right->addStretch(1);

    auto* columns = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addLayout(serial);
    left->addStretch(1);
    columns->addLayout(left);
    columns->addSpacing(40);
    columns->addLayout(right);
    columns->addStretch(1);

    // Setup exchange; the polled buttons appear only in polled moored mode.
    auto* buttons = setupExchangeRow(this, 1);
    buttons->addSpacing(24);
    addPolledButtons(buttons, this, 1);
    buttons->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(buttons);
    page->addSpacing(8);
    page->addLayout(columns);
}

}  // namespace cvh
