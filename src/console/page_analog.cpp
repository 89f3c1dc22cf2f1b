#include "console/page_analog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/factory_view.h"

namespace cvh {

namespace {

// The operator types up to `digits` digits; received values arrive right-aligned in five
// characters ("%5d"), so the edits accept leading blanks and never cut a received value.
QLineEdit* numberEdit(QWidget* parent, const QString& name, int digits, const std::string& text) {
    auto* edit = named(new QLineEdit(qs(text), parent), name);
    edit->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("^ *\\d{0,%1}$").arg(digits)), edit));
    edit->setMaximumWidth(90);
    return edit;
}

}  // namespace

AnalogPage::AnalogPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSAnalog"));

    // Offsets are counts at 0 V, scales counts per volt; channel 0 is the battery voltage.
    auto* table = named(new QGroupBox(QStringLiteral("Analog Calibration"), this),
                        QStringLiteral("AnalogCalGB"));
    auto* grid = new QGridLayout(table);
    grid->setHorizontalSpacing(16);
    grid->addWidget(named(new QLabel(QStringLiteral("Offset"), table), QStringLiteral("OffsetHdr")),
                    0, 1);
    grid->addWidget(named(new QLabel(QStringLiteral("Scale"), table), QStringLiteral("ScaleHdr")),
                    0, 2);
    const AnalogForm defaults;
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        grid->addWidget(
            named(new QLabel(qs(calibrationChannelCaption(ch)), table), numbered("LBChannel", ch)),
            ch + 1, 0);
        grid->addWidget(numberEdit(table, numbered("MEOffset", ch), 4, defaults.offset[ch]), ch + 1,
                        1);
        grid->addWidget(numberEdit(table, numbered("MEScale", ch), 5, defaults.scale[ch]), ch + 1,
                        2);
    }

    auto* notCurrent = notCurrentPanel(this, QStringLiteral("AnalogPanel"),
                                       QStringLiteral("Analog Calibration is Not Current"));

    auto* password = new QHBoxLayout;
    password->addWidget(
        named(new QLabel(qs(factoryPasswordLabel()), this), QStringLiteral("ALGPasswordLB")));
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
