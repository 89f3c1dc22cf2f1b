#include "console/pc_logger_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "console/view_sync.h"
#include "console/widget_helpers.h"
#include "session/host_session.h"

namespace cvh {

PcLoggerBinding::PcLoggerBinding(QWidget& window, HostSession& session,
                                 std::function<void()> changed)
    : QObject(&window), session_(session), changed_(std::move(changed)) {
    const QWidget& page = *require<QWidget>(window, "TSPCLogger");
    for (int n = 1; n <= kPcSlotCount; ++n)
        bindRow(n, page);
    PcLoggerControl& pc = session_.pcLoggerControl();
    UDDeckRate_ = require<QSpinBox>(page, "UDDeckRate");
    connect(UDDeckRate_, &QSpinBox::valueChanged, this, [this, &pc](int v) {
        pc.deckRateClick(v);
        changed_();
    });
    CBRecordPCTime_ = require<QCheckBox>(page, "CBRecordPCTime");
    connect(CBRecordPCTime_, &QCheckBox::clicked, this, [this, &pc](bool checked) {
        pc.recordPcTimeClick(checked);
        changed_();
    });
    const std::pair<const char*, void (PcLoggerControl::*)()> buttons[] = {
        {"BTLoadDeck", &PcLoggerControl::loadPcSetup},
        {"BTRestoreDeck", &PcLoggerControl::restorePcSetup},
        {"BTClearDeck", &PcLoggerControl::clearSetup}};
    for (const auto& [name, action] : buttons)
        connect(require<QPushButton>(page, name), &QPushButton::clicked, this,
                [this, &pc, action = action] {
                    (pc.*action)();
                    changed_();
                });
    LBDeckRate_ = require<QLabel>(page, "LBDeckRate");
    LBDeckInterval_ = require<QLabel>(page, "LBDeckInterval");
    PCLoggerPanel_ = require<QLabel>(page, "PCLoggerPanel");
    PCInHdr_ = require<QLabel>(page, "PCInHdr");
    PCOutHdr_ = require<QLabel>(page, "PCOutHdr");
}

void PcLoggerBinding::bindRow(int n, const QWidget& page) {
    SlotRow& r = rows_[static_cast<std::size_t>(n - 1)];
    PcLoggerControl& pc = session_.pcLoggerControl();
    r.function = require<QComboBox>(page, numbered("PortType", n, "CB"));
    r.comPort = require<QComboBox>(page, numbered("DeckPort", n, "CB"));
    r.lineSetting = require<QComboBox>(page, numbered("DeckSetup", n, "CB"));
    // Function, COM port and line setting all run the page's one change rule.
    const std::pair<QComboBox*, PcPortBox> boxes[] = {{r.function, PcPortBox::Function},
                                                      {r.comPort, PcPortBox::ComPort},
                                                      {r.lineSetting, PcPortBox::LineSetting}};
    for (const auto& [box, which] : boxes)
        connect(box, &QComboBox::activated, this, [this, &pc, n, which = which](int i) {
            pc.choosePortBox(n, which, i);
            changed_();
        });
    r.idLabel = require<QLabel>(page, numbered("LBDeckType", n));
    r.id = require<QSpinBox>(page, numbered("UDDeckType", n));
    r.portLabel = require<QLabel>(page, numbered("PCOutPort", n));
    r.port = require<QSpinBox>(page, numbered("UDOutPort", n));
    r.traffic = require<QLabel>(page, numbered("PCPort", n));
    connect(r.id, &QSpinBox::valueChanged, this, [this, &pc, n](int v) {
        pc.deckTypeClick(n, v);
        changed_();
    });
    connect(r.port, &QSpinBox::valueChanged, this, [this, &pc, n](int v) {
        pc.outPortClick(n, v);
        changed_();
    });
}

void PcLoggerBinding::refresh() {
    const PcLoggerForm& form = session_.pcLoggerControl().form();
    const DataStatusView& dataStatus = session_.dataStatus();
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const PcPortRow& r = form.rows[i];
        const SlotRow& w = rows_[i];
        applyCombo(w.function, r.PortTypeCB);
        applyCombo(w.comPort, ComboState{r.DeckPortCB, r.DeckPortVisible});
        setColour(w.comPort, r.DeckPortColour);
        applyCombo(w.lineSetting, ComboState{r.DeckSetupCB, r.DeckSetupVisible});
        setColour(w.lineSetting, r.DeckSetupColour);
        setText(w.idLabel, r.LBDeckType);
        setShown(w.idLabel, r.DeckTypeVisible);
        applySpin(w.id, r.UDDeckType);
        setShown(w.id, r.DeckTypeVisible);
        setText(w.portLabel, r.PCOutPort);
        setShown(w.portLabel, r.OutPortVisible);
        applySpin(w.port, r.UDOutPort);
        setShown(w.port, r.OutPortVisible);
        // The slot's traffic line, written by the link monitor each second.
        const std::string& line = dataStatus.PCPort[i];
        setText(w.traffic, line.empty() ? "Port " + std::to_string(i + 1) : line);
        setShown(w.traffic, r.PCPortVisible);
    }
    applySpin(UDDeckRate_, form.UDDeckRate);
    setText(LBDeckRate_, form.LBDeckRate);
    setText(LBDeckInterval_, form.LBDeckInterval);
    if (CBRecordPCTime_->isChecked() != form.CBRecordPCTime) {
        const QSignalBlocker block(CBRecordPCTime_);
        CBRecordPCTime_->setChecked(form.CBRecordPCTime);
    }
    setShown(PCLoggerPanel_, form.PCLoggerPanel);
    setShown(PCInHdr_, form.PCInHdr);
    setShown(PCOutHdr_, form.PCOutHdr);
}

}  // namespace cvh
