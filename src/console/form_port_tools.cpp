#include "console/form_port_tools.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/host_session.h"

namespace cvh {

namespace {

// The line choices as the test window lists them (entry 7 without a blank).
QStringList testLineChoices() {
    QStringList items;
    for (const char* t : {"OFF", "600", "1200", "2400", "4800", "4800,7,E,1", "9600", "9600,7,E,1",
                          "19200", "38400", "57600", "115200"})
        items << QLatin1String(t);
    return items;
}

}  // namespace

TestPortForm::TestPortForm(QWidget* parent) : ToolWindow(parent) {
    setObjectName(QStringLiteral("TTestPortForm"));
    setWindowTitle(QStringLiteral("Test One Logger  Port"));
    auto* form = new QFormLayout;
    CBTestPort = named(new QComboBox(this), "CBTestPort");
    for (int i = 1; i <= 8; ++i)
        CBTestPort->addItem(QStringLiteral("Port %1").arg(i));
    CBTestPort->addItem(QStringLiteral("Analog Ports"));
    CBTestPortSetup = named(new QComboBox(this), "CBTestPortSetup");
    CBTestPortSetup->addItems(testLineChoices());
    CBHostPortSetup = named(new QComboBox(this), "CBHostPortSetup");
    CBHostPortSetup->addItems(testLineChoices());
    form->addRow(new QLabel(QStringLiteral("Select Port To Test"), this), CBTestPort);
    form->addRow(new QLabel(QStringLiteral("Test Port Setup"), this), CBTestPortSetup);
    form->addRow(new QLabel(QStringLiteral("Host Port Setup"), this), CBHostPortSetup);
    BTTestPort = named(new QPushButton(QStringLiteral("Start Test"), this), "BTTestPort");
    BTStopTest = named(new QPushButton(QStringLiteral("Stop Test"), this), "BTStopTest");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BTTestPort);
    buttons->addWidget(BTStopTest);
    auto* top = new QVBoxLayout(this);
    top->addLayout(form);
    top->addLayout(buttons);
    CBTestPort->setCurrentIndex(0);
    CBTestPortSetup->setCurrentIndex(6);
    CBHostPortSetup->setCurrentIndex(6);
}

void TestPortForm::refresh(const HostSession& s) {
    applyCombo(CBTestPort, s.testPort.CBTestPort);
    applyCombo(CBTestPortSetup, s.testPort.CBTestPortSetup);
    applyCombo(CBHostPortSetup, s.testPort.CBHostPortSetup);
    setShown(this, s.testPort.visible);
}

void ToolWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closed();
}

StatsForm::StatsForm(QWidget* parent) : ToolWindow(parent) {
    setObjectName(QStringLiteral("TStatsForm"));
    setWindowTitle(QStringLiteral("Statistics Form"));
    auto* top = new QVBoxLayout(this);
    QFont mono(QStringLiteral("Monospace"));
    mono.setStyleHint(QFont::TypeWriter);
    for (int i = 0; i < 9; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("SFLB%1").arg(i + 1));
        label->setFont(mono);
        label->setMinimumWidth(260);
        label->setMargin(2);
        label->hide();
        top->addWidget(label);
        SFLB[static_cast<std::size_t>(i)] = label;
    }
    top->addStretch();
}

void StatsForm::refresh(const StatsWindow& stats) {
    if (stats.revision() == shownRevision_)
        return;
    shownRevision_ = stats.revision();
    setWindowTitle(qs(stats.caption()));
    for (int i = 0; i < 9; ++i) {
        const StatsLine& line = stats.line(i + 1);
        QLabel* label = SFLB[static_cast<std::size_t>(i)];
        setText(label, line.text);
        setColour(label, line.colour);
        setShown(label, line.visible);
    }
    setShown(this, stats.visible());
}

MuxIdForm::MuxIdForm(QWidget* parent) : ToolWindow(parent) {
    setObjectName(QStringLiteral("TMuxIDForm"));
    setWindowTitle(QStringLiteral("Set Logger ID"));
    LBCurrentMuxID =
        named(new QLabel(QStringLiteral("Current Logger ID:  XXX"), this), "LBCurrentMuxID");
    UDMuxID = named(new QSpinBox(this), "UDMuxID");
    UDMuxID->setRange(2, 4);
    UDMuxID->setValue(2);
    UDMuxID->setWrapping(false);
    LBNewMuxID = named(new QLabel(QStringLiteral("002"), this), "LBNewMuxID");
    BTSendMuxID = named(new QPushButton(QStringLiteral("Send New Logger ID"), this), "BTSendMuxID");
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Change Logger ID to:  "), this));
    row->addWidget(LBNewMuxID);
    row->addWidget(UDMuxID);
    auto* top = new QVBoxLayout(this);
    top->addWidget(LBCurrentMuxID);
    top->addLayout(row);
    top->addWidget(BTSendMuxID);
}

void MuxIdForm::refresh(const HostSession& s) {
    applySpin(UDMuxID, s.muxId.UDMuxID);
    setText(LBNewMuxID, s.muxId.LBNewMuxID);
    setText(LBCurrentMuxID, s.muxId.LBCurrentMuxID);
    setShown(this, s.muxId.visible);
}

}  // namespace cvh
