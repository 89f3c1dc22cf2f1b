#include "console/page_analog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "console/widget_helpers.h"

namespace cvh {

namespace {

constexpr int kChannels = 8;  // 0 is the battery voltage, 1..7 analog channels

// The operator types up to `digits` digits; received values arrive right-aligned in five
// characters ("%5d"), so the edits accept leading blanks and never cut a received value.
QLineEdit* numberEdit(QWidget* parent, const QString& name, int digits, int value) {
    auto* edit = named(new QLineEdit(QString::number(value), parent), name);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^ *\\d{0,%1}$").arg(digits)), edit));
    edit->setMaximumWidth(90);
    return edit;
}

QString channelCaption(int channel) {
    if (channel == 0)
        return QStringLiteral("Battery\nVoltage");
    // Port 9 has a one-digit number; the blanks line its channel up under the others.
    return channel == 1 ? QStringLiteral("Port 9:   Analog 1")
                        : QStringLiteral("Port %1: Analog %2").arg(channel + 8).arg(channel);
}

}  // namespace

AnalogPage::AnalogPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSAnalog"));

    // Offsets are counts at 0 V, scales counts per volt; these are the values before any
    // calibration is received or loaded.
    auto* table = named(new QGroupBox(QStringLiteral("Analog Calibration"), this),
                        QStringLiteral("AnalogCalGB"));
    auto* grid = new QGridLayout(table);
    grid->setHorizontalSpacing(16);
    grid->addWidget(named(new QLabel(QStringLiteral("Offset"), table), QStringLiteral("OffsetHdr")),
                    0, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("Scale"), table), QStringLiteral("ScaleHdr")),
                    0, 2);
    for (int ch = 0; ch < kChannels; ++ch) {
        const bool battery = ch == 0;
        grid->addWidget(
            named(new QLabel(channelCaption(ch), table), QStringLiteral("LBChannel%1").arg(ch)),
            ch + 1, 0);
        grid->addWidget(
            numberEdit(table, QStringLiteral("MEOffset%1").arg(ch), 4, battery ? 200 : 150), ch + 1,
            1);
        grid->addWidget(
            numberEdit(table, QStringLiteral("MEScale%1").arg(ch), 5, battery ? 790 : 5325), ch + 1,
            2);
    }

    auto* notCurrent = notCurrentPanel(this, QStringLiteral("AnalogPanel"),
                                       QStringLiteral("Analog Calibration is Not Current"));

    auto* password = new QHBoxLayout;
    password->addWidget(named(new QLabel(QStringLiteral("Password=KeepClear"), this),
                              QStringLiteral("ALGPasswordLB")));
    password->addWidget(named(new QLineEdit(this), QStringLiteral("ALGPassword")));

    auto* commands = new QVBoxLayout;
    commands->addWidget(button(this, "BTGetAnalog", "Get Analog Calibration"));
    commands->addWidget(button(this, "BTSendAnalogCalibration", "Send Analog Calibration"));
    commands->addSpacing(8);
    commands->addWidget(button(this, "BTLoadAnalogFile", "Load Analog Calibration File"));
    commands->addWidget(button(this, "BTSaveAnalogFile", "Save Analog Calibration File"));
    commands->addSpacing(8);
    commands->addLayout(password);
    commands->addSpacing(8);
    commands->addWidget(notCurrent);
    commands->addStretch(1);
    commands->addWidget(button(this, "BTDoneWithAnalog", "Done"));

    auto* columns = new QHBoxLayout;
    columns->addWidget(table, 0, Qt::AlignTop);
    columns->addSpacing(16);
    columns->addLayout(commands);
    columns->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(columns);
    page->addStretch(1);
}

}  // namespace cvh
