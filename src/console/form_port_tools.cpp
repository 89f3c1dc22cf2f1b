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
#include "link/line_choices.h"
#include "session/host_session.h"

namespace cvh {

namespace {}  // namespace

TestPortForm::TestPortForm(QWidget* parent) : ToolWindow(parent) {
    setObjectName(QStringLiteral("TTestPortForm"));
    setWindowTitle(QStringLiteral("Test One Logger  Port"));
    auto* form = new QFormLayout;
    CBTestPort = named(new QComboBox(this), "CBTestPort");
    for (int i = 1; i <= 8; ++i)
        CBTestPort->addItem(QStringLiteral("Port %1").arg(i));
    CBTestPort->addItem(QStringLiteral("Analog Ports"));
    CBTestPortSetup = named(new QComboBox(this), "CBTestPortSetup");
    CBTestPortSetup->addItems(itemList(kLineChoiceTexts));
    CBHostPortSetup = named(new QComboBox(this), "CBHostPortSetup");
    CBHostPortSetup->addItems(itemList(kLineChoiceTexts));
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
    const TestPortView& v = s.portTools().testPort();
    applyCombo(CBTestPort, v.CBTestPort);
    applyCombo(CBTestPortSetup, v.CBTestPortSetup);
    applyCombo(CBHostPortSetup, v.CBHostPortSetup);
    setShown(this, v.visible);
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
    for (int i = 0; i < StatsWindow::kLineCount; ++i) {
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
    setWindowTitle(qs(stats.caption()));
    for (int i = 0; i < StatsWindow::kLineCount; ++i) {
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
    const MuxIdView& v = s.portTools().muxId();
    applySpin(UDMuxID, v.UDMuxID);
    setText(LBNewMuxID, v.LBNewMuxID);
    setText(LBCurrentMuxID, v.LBCurrentMuxID);
    setShown(this, v.visible);
}

}  // namespace cvh
