#include "console/live_pages.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

namespace {

QLabel* label(QWidget* parent, const QString& name, const QString& text = {}) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QFont monospace() {
    QFont f(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::TypeWriter);
    return f;
}

}  // namespace

DataStatusPage::DataStatusPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSDataStatus"));
    // Read at a glance from across a deck: a size up from the window's font.
    QFont larger = font();
    larger.setPointSizeF(larger.pointSizeF() * 1.25);
    setFont(larger);
    auto* top = new QVBoxLayout(this);

    LBSerial = label(this, QStringLiteral("LBSerial"));
    LBSerial->setAlignment(Qt::AlignCenter);
    QFont bold = font();
    bold.setBold(true);
    LBSerial->setFont(bold);
    top->addWidget(LBSerial);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    const char* suffixes[6] = {"Label",     "BPSLabel",    "FSLabel",
                               "TypeLabel", "StatusLabel", "FileSizeLabel"};
    // Port name, type, rate caption, rate, size caption, size: read left to right.
    const int columns[6] = {0, 2, 4, 1, 3, 5};
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 6; ++c) {
            auto* l =
                label(this, QStringLiteral("M%1%2").arg(r + 1).arg(QLatin1String(suffixes[c])));
            if (c == 4 || c == 5)
                l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (c == 4 || c == 5)
                l->setMinimumWidth(70);
            ports_[static_cast<std::size_t>(r)].labels[static_cast<std::size_t>(c)] = l;
            grid->addWidget(l, r, columns[c]);
        }
        auto* silence = label(this, QStringLiteral("M%1SilenceLabel").arg(r + 1));
        ports_[static_cast<std::size_t>(r)].silence = silence;
        grid->addWidget(silence, r, 6);
    }
    grid->setColumnStretch(7, 1);
    top->addLayout(grid);
    top->addSpacing(12);

    LBAnalog = label(this, QStringLiteral("LBAnalog"));
    LBAnalog->setAlignment(Qt::AlignCenter);
    LBAnalog->setFont(bold);
    top->addWidget(LBAnalog);
    auto* agrid = new QGridLayout;
    agrid->setHorizontalSpacing(14);
    for (int i = 0; i < 8; ++i) {
        const bool file = i == 7;
        auto* name =
            label(this, file ? QStringLiteral("AnalogFS") : QStringLiteral("LBA%1").arg(i + 1));
        auto* value = label(this, file ? QStringLiteral("AnalogFileSizeLabel")
                                       : QStringLiteral("Analog%1").arg(i + 1));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(60);
        analog_[static_cast<std::size_t>(i)] = {name, value};
        if (file) {
            agrid->addWidget(name, 2, 0, 1, 3);
            agrid->addWidget(value, 2, 3);
        } else {
            agrid->addWidget(name, i / 4, (i % 4) * 2);
            agrid->addWidget(value, i / 4, (i % 4) * 2 + 1);
        }
    }
    agrid->setColumnStretch(8, 1);
    top->addLayout(agrid);
    SilentAnalogLabel = label(this, QStringLiteral("SilentAnalogLabel"));
    top->addWidget(SilentAnalogLabel);
    top->addSpacing(12);

    DSPCPorts = label(this, QStringLiteral("DSPCPorts"));
    DSPCPorts->setAlignment(Qt::AlignCenter);
    DSPCPorts->setFont(bold);
    top->addWidget(DSPCPorts);
    auto* pgrid = new QGridLayout;
    for (int i = 0; i < 8; ++i) {
        DSPCPort[static_cast<std::size_t>(i)] =
            label(this, QStringLiteral("DSPCPort%1").arg(i + 1));
        DSPCPort[static_cast<std::size_t>(i)]->setFont(monospace());
        pgrid->addWidget(DSPCPort[static_cast<std::size_t>(i)], i % 4, i / 4);
    }
    top->addLayout(pgrid);
    top->addStretch();
}

void DataStatusPage::refresh(const HostSession& s) {
    const auto& v = s.dataStatus();
    for (std::size_t r = 0; r < 8; ++r) {
        const auto& row = v.PortRowTable[r];
        const LabelState* states[6] = {&row.name,     &row.rateCaption, &row.sizeCaption,
                                       &row.typeName, &row.rate,        &row.fileSize};
        for (std::size_t c = 0; c < 6; ++c)
            applyLabel(ports_[r].labels[c], *states[c]);
    }
    for (std::size_t i = 0; i < 8; ++i) {
        applyLabel(analog_[i][0], v.AnalogRowTable[i].name);
        applyLabel(analog_[i][1], v.AnalogRowTable[i].value);
    }
    applyLabel(LBSerial, v.LBSerial);
    applyLabel(LBAnalog, v.LBAnalog);
    applyLabel(DSPCPorts, v.DSPCPorts);
    for (std::size_t i = 0; i < 8; ++i)
        applyLabel(DSPCPort[i], v.DSPCPort[i]);
    showSilence(s);
}

// A silent instrument's row turns red, with the seconds of silence beside it.
void DataStatusPage::showSilence(const HostSession& s) {
    const SilenceView& silence = s.liveDataWatch().silence();
    for (std::size_t r = 0; r < ports_.size(); ++r) {
        const auto& channel = silence.channels[r];
        if (channel.flagged)
            for (QLabel* l : ports_[r].labels)
                setColour(l, Colour::Red);
        applyLabel(ports_[r].silence,
                   {channel.text, channel.flagged && s.dataStatus().PortRowTable[r].name.visible,
                    Colour::Red});
    }
    for (std::size_t i = 0; i < 7; ++i)
        if (silence.channels[kLoggerPortCount + i].flagged)
            for (QLabel* l : analog_[i])
                setColour(l, Colour::Red);
    applyLabel(SilentAnalogLabel, silence.SilentAnalogLabel);
}

RealTimePage::RealTimePage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSRealTime"));
    auto* top = new QVBoxLayout(this);

    auto* controls = new QHBoxLayout;
    RawSourceCB = new QComboBox(this);
    RawSourceCB->setObjectName(QStringLiteral("RawSourceCB"));
    RawSourceCB->addItems({QStringLiteral("Parsed Data"), QStringLiteral("Raw Logger Data"),
                           QStringLiteral("Raw PC Logger Data")});
    RawSourceCB->setPlaceholderText(QStringLiteral("Select Data Source"));
    RawPortCB = new QComboBox(this);
    RawPortCB->setObjectName(QStringLiteral("RawPortCB"));
    for (int i = 1; i <= 8; ++i)
        RawPortCB->addItem(QStringLiteral("Display Port %1").arg(i));
    RawPortCB->addItem(QStringLiteral("All Analog Data"));
    RawMuxIDLB = label(this, QStringLiteral("RawMuxIDLB"), QStringLiteral("Logger ID:    2"));
    RawMuxIDUD = new QSpinBox(this);
    RawMuxIDUD->setObjectName(QStringLiteral("RawMuxIDUD"));
    RawMuxIDUD->setRange(1, 4);
    RawMuxIDUD->setValue(2);
    BTDisplayRaw = new QPushButton(QStringLiteral("Display Data"), this);
    BTDisplayRaw->setObjectName(QStringLiteral("BTDisplayRaw"));
    BTDisplayRaw->setMinimumWidth(110);
    BTResetCounters = new QPushButton(QStringLiteral("Reset Counters"), this);
    BTResetCounters->setObjectName(QStringLiteral("BTResetCounters"));
    controls->addWidget(RawSourceCB);
    controls->addWidget(RawPortCB);
    controls->addWidget(RawMuxIDLB);
    controls->addWidget(RawMuxIDUD);
    controls->addStretch();
    controls->addWidget(BTDisplayRaw);
    controls->addWidget(BTResetCounters);
    top->addLayout(controls);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setMaximumBlockCount(101);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setFont(monospace());
    top->addWidget(Memo1, 1);

    auto* send = new QHBoxLayout;
    EditSendText = new QLineEdit(QStringLiteral("Enter Text"), this);
    EditSendText->setObjectName(QStringLiteral("EditSendText"));
    EditSendText->installEventFilter(this);
    BTSendText = new QPushButton(QStringLiteral("Send w/o CR LF"), this);
    BTSendText->setObjectName(QStringLiteral("BTSendText"));
    send->addWidget(EditSendText, 1);
    send->addWidget(BTSendText);
    top->addLayout(send);

    auto* units = new QVBoxLayout;
    units->addWidget(label(this, QStringLiteral("Label4"),
                           QStringLiteral("Logger IDs       Packets--Mod--Missing Packets")));
    LBTimeUnit = label(this, QStringLiteral("LBTimeUnit"), QStringLiteral("Time Unit: 0"));
    LBTimeUnit->setFont(monospace());
    units->addWidget(LBTimeUnit);
    for (int i = 0; i < 4; ++i) {
        LBUnit[static_cast<std::size_t>(i)] = label(this, QStringLiteral("LBUnit%1").arg(i + 1));
        LBUnit[static_cast<std::size_t>(i)]->setFont(monospace());
        units->addWidget(LBUnit[static_cast<std::size_t>(i)]);
    }
    top->addLayout(units);
}

bool RealTimePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == EditSendText && event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void RealTimePage::refresh(const HostSession& s) {
    const auto& v = s.linkPorts().realTime();
    for (const std::string& line : v.Memo1.newLinesSince(shownLines_))
        Memo1->appendPlainText(qs(line));
    // The box and the session agree after every edit; they differ only once text was sent.
    if (EditSendText->text() != qs(v.EditSendText))
        EditSendText->setText(qs(v.EditSendText));
    applyCombo(RawSourceCB, v.RawSourceCB);
    applyCombo(RawPortCB, v.RawPortCB);
    applySpin(RawMuxIDUD, v.RawMuxIDUD);
    applyLabel(RawMuxIDLB, v.RawMuxIDLB);
    setShown(RawMuxIDLB, v.selectorsVisible);
    setShown(RawMuxIDUD, v.selectorsVisible);
    setShown(RawPortCB, v.selectorsVisible);
    setText(BTDisplayRaw, v.BTDisplayRaw);
    applyLabel(LBTimeUnit, v.LBTimeUnit);
    for (std::size_t i = 0; i < 4; ++i)
        applyLabel(LBUnit[i], v.LBUnit[i]);
}

}  // namespace cvh
