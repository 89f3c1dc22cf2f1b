#include "console/page_hardware.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/factory_view.h"

namespace cvh {

namespace {

QStringList relayItems() {
    QStringList items;
    for (int r = 0; r < kRelayChoiceCount; ++r)
        items << qs(relayItemText(r));
    return items;
}

// One group of relay selectors: "Port <first>".."Port <first + count - 1>", named stem1..stemN.
QGroupBox* relayGroup(QWidget* parent, const char* title, const char* groupName, const char* stem,
                      int count, int firstPort) {
    auto* group =
        named(new QGroupBox(QString::fromLatin1(title), parent), QString::fromLatin1(groupName));
    auto* grid = new QGridLayout(group);
    const QStringList items = relayItems();
    for (int n = 1; n <= count; ++n) {
        const QString name = QString::fromLatin1(stem) + QString::number(n);
        grid->addWidget(
            named(new QLabel(QStringLiteral("Port %1").arg(firstPort + n - 1), group), name + "LB"),
            n - 1, 0);
        auto* box = named(new QComboBox(group), name);
        box->addItems(items);
        box->setCurrentIndex(0);
        box->setMinimumWidth(120);
        grid->addWidget(box, n - 1, 1);
    }
    grid->setRowStretch(count, 1);
    return group;
}

// Device type, serial number, switches and the factory password.
QGroupBox* buildDeviceGroup(QWidget* page) {
    auto* device =
        named(new QGroupBox(QStringLiteral("Logger Hardware"), page), QStringLiteral("DeviceGB"));
    auto* deviceGrid = new QGridLayout(device);
    deviceGrid->addWidget(
        named(new QLabel(QStringLiteral("Device Type"), device), QStringLiteral("DeviceTypeLB")), 0,
        0);
    // No device type is chosen until one is received, loaded or picked; sending needs one.
    auto* type = named(new QComboBox(device), QStringLiteral("DeviceTypeCB"));
    type->addItems(itemList(kDeviceTypeItems));
    type->setPlaceholderText(QStringLiteral("Select Device Type"));
    type->setCurrentIndex(-1);
    type->setMinimumWidth(190);
    deviceGrid->addWidget(type, 0, 1);

    deviceGrid->addWidget(named(new QLabel(QStringLiteral("Serial Number"), device),
                                QStringLiteral("SerialNumberLB")),
                          1, 0);
    auto* serial = named(new QSpinBox(device), QStringLiteral("UDSerialNumber"));
    serial->setRange(0, kSerialNumberMax);
    serial->setValue(0);
    serial->findChild<QLineEdit*>()->setObjectName(QStringLiteral("SNEdit"));
    deviceGrid->addWidget(serial, 1, 1, Qt::AlignLeft);

    deviceGrid->addWidget(
        named(new QLabel(QStringLiteral("Status LED"), device), QStringLiteral("StatusLEDLB")), 2,
        0);
    auto* led = named(new QComboBox(device), QStringLiteral("StatusLEDCB"));
    led->addItems(itemList(kStatusLedItems));
    led->setCurrentIndex(0);
    deviceGrid->addWidget(led, 2, 1);

    deviceGrid->addWidget(
        named(new QLabel(QStringLiteral("Run/Stop Switch"), device), QStringLiteral("RunStopLB")),
        3, 0);
    auto* runStop = named(new QComboBox(device), QStringLiteral("RunStopCB"));
    runStop->addItems(itemList(kRunStopSwitchItems));
    runStop->setCurrentIndex(0);
    deviceGrid->addWidget(runStop, 3, 1);

    // Writing to the logger asks for the factory password, which the page shows in plain text.
    deviceGrid->addWidget(
        named(new QLabel(qs(factoryPasswordLabel()), device), QStringLiteral("HWPasswordLB")), 4,
        0);
    deviceGrid->addWidget(named(new QLineEdit(device), QStringLiteral("HWPassword")), 4, 1);
    return device;
}

// The exchange with the logger and the files, with the "not current" marker.
QVBoxLayout* buildCommands(QWidget* page) {
    auto* notCurrent = notCurrentPanel(page, QStringLiteral("HardwarePanel"),
                                       QStringLiteral("Hardware Setup is Not Current"));

    auto* commands = new QVBoxLayout;
    commands->addWidget(button(page, "BTGetHardware", "Get Hardware Configuration"));
    commands->addWidget(button(page, "BTSendHardwareSetup", "Send Hardware Configuration"));
    commands->addSpacing(8);
    commands->addWidget(button(page, "BTLoadHardwareFile", "Load Hardware Config File"));
    commands->addWidget(button(page, "BTSaveHardwareFile", "Save Hardware Config File"));
    commands->addSpacing(8);
    commands->addWidget(notCurrent);
    commands->addStretch(1);
    commands->addWidget(button(page, "BTDoneWithHardware", "Done"));
    return commands;
}

}  // namespace

HardwarePage::HardwarePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSHardware"));
    auto* device = buildDeviceGroup(this);
    auto* commands = buildCommands(this);

    auto* top = new QHBoxLayout;
    top->addWidget(device, 0, Qt::AlignTop);
    top->addSpacing(16);
    top->addLayout(commands);
    top->addStretch(1);

    auto* relays = new QHBoxLayout;
    relays->addWidget(relayGroup(this, "Serial Ports", "SerialRelayGB", "RelaySP", 8, 1));
    relays->addWidget(relayGroup(this, "Analog Ports", "AnalogRelayGB", "RelayAP", 7, 9));
    relays->addWidget(relayGroup(this, "Pump Power", "PumpRelayGB", "RelayPP", 4, 16));
    relays->addStretch(1);

    // The long caption says exactly what goes into the logger's flash.
    auto* defaults = button(this, "BTTQ7Defaults",
                            "Load Default Hardware Setup, Analog Calibration, Mux ID and Host "
                            "Interface Setup into Flash Memory");
    auto* defaultsRow = new QHBoxLayout;
    defaultsRow->addWidget(defaults);
    defaultsRow->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addLayout(top);
    page->addSpacing(8);
    page->addLayout(relays);
    page->addSpacing(8);
    page->addLayout(defaultsRow);
    page->addStretch(1);
}

}  // namespace cvh
