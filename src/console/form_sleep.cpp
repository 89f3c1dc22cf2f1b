#include "console/form_sleep.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "console/widget_helpers.h"

namespace cvh {

namespace {

QLabel* clockLabel(QWidget* parent, const char* name) {
    auto* label = named(new QLabel(parent), QString::fromLatin1(name));
    label->setMinimumWidth(80);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

}  // namespace

SleepForm::SleepForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSleepForm"));
    setWindowTitle(QStringLiteral("Sleep Options"));
    setModal(false);

    auto* option = named(new QGroupBox(QStringLiteral("Moored Mode Sleep Option"), this),
                         QStringLiteral("SleepOptionGB"));
    auto* optionGrid = new QGridLayout(option);
    optionGrid->addWidget(new QLabel(QStringLiteral("Sleep Until:"), option), 0, 0);
    auto* time = named(new QLineEdit(QStringLiteral("HH:MM:SS"), option), QStringLiteral("METime"));
    time->setMaxLength(8);
    time->setMaximumWidth(100);
    optionGrid->addWidget(time, 0, 1);
    optionGrid->addWidget(new QLabel(QStringLiteral("on"), option), 0, 2);
    auto* date = named(new QLineEdit(QStringLiteral("MM/DD/YY"), option), QStringLiteral("MEDate"));
    date->setMaxLength(10);
    date->setMaximumWidth(100);
    optionGrid->addWidget(date, 0, 3);
    optionGrid->addWidget(
        new QLabel(QStringLiteral("Don't Forget about Daylight Savings Time Changes"), option), 1,
        0, 1, 4);
    optionGrid->setColumnStretch(4, 1);

    auto* clocks = new QGridLayout;
    clocks->addWidget(new QLabel(QStringLiteral("Host Time and Date:"), this), 0, 0);
    clocks->addWidget(clockLabel(this, "HostTime"), 0, 1);
    clocks->addWidget(clockLabel(this, "HostDate"), 0, 2);
    clocks->addWidget(new QLabel(QStringLiteral("Meter Time and Date:"), this), 1, 0);
    clocks->addWidget(clockLabel(this, "SleepTime"), 1, 1);
    clocks->addWidget(clockLabel(this, "SleepDate"), 1, 2);
    clocks->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(
        named(new QPushButton(QStringLiteral("SLEEP"), this), QStringLiteral("SleepButton")));
    buttons->addWidget(
        named(new QPushButton(QStringLiteral("CANCEL"), this), QStringLiteral("CancelButton")));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(option);
    layout->addLayout(clocks);
    layout->addWidget(new QLabel(
        QStringLiteral("Note:  All times are in a 24-hour format.  (00:00:00-23-59:59)"), this));
    layout->addWidget(new QLabel(QStringLiteral("Dates are MM/DD/YY"), this));
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

}  // namespace cvh
