#include "console/pc_logger_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "config/pc_logger_setup.h"
#include "console/view_sync.h"
#include "session/host_session.h"

namespace cvh {

namespace {

QString numbered(const char* stem, int n, const char* tail = "") {
    return QLatin1String(stem) + QString::number(n) + QLatin1String(tail);
}

template <class W>
W* child(QWidget* parent, const QString& name) {
    return parent ? parent->findChild<W*>(name) : nullptr;
}

void applyCheck(QCheckBox* box, bool checked) {
    if (!box || box->isChecked() == checked)
        return;
    const QSignalBlocker block(box);
    box->setChecked(checked);
}

}  // namespace

PcLoggerBinding::PcLoggerBinding(QWidget& window, HostSession& session,
                                 std::function<void()> changed)
    : QObject(&window), session_(session), changed_(std::move(changed)) {
    page_ = window.findChild<QWidget*>(QStringLiteral("TSPCLogger"));
    if (!page_)
        return;
    PcLoggerSetup& pc = session_.pcLogger();
    for (int n = 1; n <= kPcSlotCount; ++n) {
        PcPortRow* row = &pc.form.rows[static_cast<std::size_t>(n - 1)];
        // Function, COM port and line setting all run PortType1CBChange.
        const std::pair<const char*, int PcPortRow::*> boxes[] = {
            {"PortType", &PcPortRow::PortTypeCB},
            {"DeckPort", &PcPortRow::DeckPortCB},
            {"DeckSetup", &PcPortRow::DeckSetupCB}};
        for (const auto& [stem, field] : boxes) {
            if (auto* box = child<QComboBox>(page_, numbered(stem, n, "CB")))
                connect(box, &QComboBox::activated, this, [this, row, field = field](int i) {
                    row->*field = i;
                    session_.pcLogger().PortTypeCBChange();
                    edited();
                });
        }
        if (auto* spin = child<QSpinBox>(page_, numbered("UDDeckType", n)))
            connect(spin, &QSpinBox::valueChanged, this, [this, n](int v) {
                session_.pcLogger().UDDeckTypeClick(n, v);
                edited();
            });
        if (auto* spin = child<QSpinBox>(page_, numbered("UDOutPort", n)))
            connect(spin, &QSpinBox::valueChanged, this, [this, n](int v) {
                session_.pcLogger().UDOutPortClick(n, v);
                edited();
            });
    }
    if (auto* rate = child<QSpinBox>(page_, QStringLiteral("UDDeckRate")))
        connect(rate, &QSpinBox::valueChanged, this, [this](int v) {
            session_.pcLogger().UDDeckRateClick(v);
            edited();
        });
    if (auto* pcTime = child<QCheckBox>(page_, QStringLiteral("CBRecordPCTime")))
        connect(pcTime, &QCheckBox::clicked, this, [this](bool checked) {
            session_.pcLogger().form.CBRecordPCTime = checked;
            edited();
        });
    const std::pair<const char*, void (PcLoggerSetup::*)()> buttons[] = {
        {"BTLoadDeck", &PcLoggerSetup::loadPcSetup},
        {"BTRestoreDeck", &PcLoggerSetup::restorePcSetup},
        {"BTClearDeck", &PcLoggerSetup::clearSetup}};
    for (const auto& [name, action] : buttons) {
        if (auto* button = child<QPushButton>(page_, QLatin1String(name)))
            connect(button, &QPushButton::clicked, this, [this, action = action] {
                (session_.pcLogger().*action)();
                edited();
            });
    }
}

void PcLoggerBinding::edited() {
    ++session_.revision;
    if (changed_)
        changed_();
}

void PcLoggerBinding::refresh() {
    if (!page_)
        return;
    const PcLoggerForm& form = session_.pcLogger().form;
    for (int n = 1; n <= kPcSlotCount; ++n) {
        const auto i = static_cast<std::size_t>(n - 1);
        const PcPortRow& r = form.rows[i];
        applyCombo(child<QComboBox>(page_, numbered("PortType", n, "CB")), r.PortTypeCB);
        auto* com = child<QComboBox>(page_, numbered("DeckPort", n, "CB"));
        applyCombo(com, ComboState{r.DeckPortCB, r.DeckPortVisible});
        setColour(com, r.DeckPortColour);
        auto* line = child<QComboBox>(page_, numbered("DeckSetup", n, "CB"));
        applyCombo(line, ComboState{r.DeckSetupCB, r.DeckSetupVisible});
        setColour(line, r.DeckSetupColour);

        auto* idLabel = child<QLabel>(page_, numbered("LBDeckType", n));
        setText(idLabel, r.LBDeckType);
        setShown(idLabel, r.DeckTypeVisible);
        auto* idSpin = child<QSpinBox>(page_, numbered("UDDeckType", n));
        applySpin(idSpin, r.UDDeckType);
        setShown(idSpin, r.DeckTypeVisible);
        auto* portLabel = child<QLabel>(page_, numbered("PCOutPort", n));
        setText(portLabel, r.PCOutPort);
        setShown(portLabel, r.OutPortVisible);
        auto* portSpin = child<QSpinBox>(page_, numbered("UDOutPort", n));
        applySpin(portSpin, r.UDOutPort);
        setShown(portSpin, r.OutPortVisible);

        // The slot's traffic line, written by the link monitor each second.
        auto* traffic = child<QLabel>(page_, numbered("PCPort", n));
        const std::string& line1s = session_.dataStatus.PCPort[i];
        setText(traffic, line1s.empty() ? "Port " + std::to_string(n) : line1s);
        setShown(traffic, r.PCPortVisible);
    }
    applySpin(child<QSpinBox>(page_, QStringLiteral("UDDeckRate")), form.UDDeckRate);
    setText(child<QLabel>(page_, QStringLiteral("LBDeckRate")), form.LBDeckRate);
    setText(child<QLabel>(page_, QStringLiteral("LBDeckInterval")), form.LBDeckInterval);
    applyCheck(child<QCheckBox>(page_, QStringLiteral("CBRecordPCTime")), form.CBRecordPCTime);
    setShown(child<QLabel>(page_, QStringLiteral("PCLoggerPanel")), form.PCLoggerPanel);
    setShown(child<QLabel>(page_, QStringLiteral("PCInHdr")), form.PCInHdr);
    setShown(child<QLabel>(page_, QStringLiteral("PCOutHdr")), form.PCOutHdr);
}

}  // namespace cvh
