#include "console/page_pc_logger.h"

#include <array>
#include <cstddef>
#include <utility>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "console/widget_helpers.h"
#include "link/port_manager.h"
#include "link/serial_port_table.h"
#include "session/pc_logger_setup.h"

namespace cvh {

namespace {

// The line setting every slot starts at.
constexpr int kDeckSetup9600 = 6;  // "9600"

QStringList comPortItems() {
    QStringList items;
    for (int com = 0; com < kComBoxItemCount; ++com)
        items << QString::fromStdString(comBoxItemText(com));
    return items;
}

// The headers above the slot rows.
void addSlotHeaders(QGridLayout* grid, QGroupBox* group) {
    grid->addWidget(
        named(new QLabel(QStringLiteral("  PC  I/O  "), group), QStringLiteral("PCInHdr")), 0, 0);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Function"), group), QStringLiteral("PortTypeHdr")), 0, 1);
    grid->addWidget(
        named(new QLabel(QStringLiteral("PC Serial Port"), group), QStringLiteral("DeckPortHdr")),
        0, 2);
    grid->addWidget(
        named(new QLabel(QStringLiteral("Port Setup"), group), QStringLiteral("DeckSetupHdr")), 0,
        3);
    auto* outHeader = named(new QLabel(QStringLiteral("Logger Output Source"), group),
                            QStringLiteral("PCOutHdr"));
    outHeader->setVisible(false);
    grid->addWidget(outHeader, 0, 4, 1, 4);
}

// Slot n's row: its function, COM port, line choice and the source of a logger output.
void addSlotRow(QGridLayout* grid, QGroupBox* group, int n, const QStringList& comPorts,
                const QStringList& deckSetups) {
    grid->addWidget(
        named(new QLabel(QStringLiteral("Port %1").arg(n), group), numbered("PCPort", n)), n, 0);

    // Nothing is chosen until the operator or a host setup file picks a function.
    auto* type = named(new QComboBox(group), numbered("PortType", n, "CB"));
    type->addItems(itemList(kPcPortTypeItems));
    type->setPlaceholderText(QString::fromLatin1(kPcPortTypePlaceholder));
    type->setCurrentIndex(-1);
    type->setMinimumWidth(130);
    grid->addWidget(type, n, 1);

    auto* com = named(new QComboBox(group), numbered("DeckPort", n, "CB"));
    com->addItems(comPorts);
    com->setCurrentIndex(0);
    com->setMaxVisibleItems(20);
    com->setMinimumWidth(150);
    grid->addWidget(com, n, 2);

    auto* line = named(new QComboBox(group), numbered("DeckSetup", n, "CB"));
    line->addItems(deckSetups);
    line->setCurrentIndex(kDeckSetup9600);
    line->setMinimumWidth(110);
    grid->addWidget(line, n, 3);

    // Source of a logger output: which logger's which port is passed on.
    auto* idLabel =
        named(new QLabel(QStringLiteral("Output Logger ID=2"), group), numbered("LBDeckType", n));
    auto* idSpin = upDown(group, numbered("UDDeckType", n), 1, 4, 2);
    auto* portLabel = named(new QLabel(QStringLiteral("Port=1"), group), numbered("PCOutPort", n));
    auto* portSpin = upDown(group, numbered("UDOutPort", n), 1, 9, 1);
    for (QWidget* w : {static_cast<QWidget*>(idLabel), static_cast<QWidget*>(idSpin),
                       static_cast<QWidget*>(portLabel), static_cast<QWidget*>(portSpin)})
        w->setVisible(false);
    grid->addWidget(idLabel, n, 4);
    grid->addWidget(idSpin, n, 5);
    grid->addWidget(portLabel, n, 6);
    grid->addWidget(portSpin, n, 7);
}

QGroupBox* buildSlotGroup(QWidget* page) {
    auto* group = named(new QGroupBox(QStringLiteral("PC Logger ID = 1"), page),
                        QStringLiteral("PCLoggerGB"));
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(10);
    addSlotHeaders(grid, group);
    const QStringList comPorts = comPortItems();
    // The deck boxes write entry 7 with a blank after the comma, as the logger-port box does.
    const QStringList deckSetups = itemList(kPortSetupChoiceTexts);
    for (int n = 1; n <= kPcSlotCount; ++n)
        addSlotRow(grid, group, n, comPorts, deckSetups);
    grid->setColumnStretch(8, 1);
    return group;
}

// The PC logger's own sampling rate.
QGroupBox* buildRateGroup(QWidget* page) {
    auto* rate = named(new QGroupBox(QStringLiteral("PC Logger Sample Rate"), page),
                       QStringLiteral("DeckRateGB"));
    auto* rateGrid = new QGridLayout(rate);
    rateGrid->addWidget(upDown(rate, QStringLiteral("UDDeckRate"), 1, 20, 1), 0, 0);
    rateGrid->addWidget(
        named(new QLabel(QStringLiteral("Deck Rate:  1 Hz"), rate), QStringLiteral("LBDeckRate")),
        0, 1);
    rateGrid->addWidget(named(new QLabel(QStringLiteral("Deck Interval: 1000 ms"), rate),
                              QStringLiteral("LBDeckInterval")),
                        1, 1);
    rateGrid->addWidget(named(new QCheckBox(QStringLiteral("Add PC Time to Port 9 "), rate),
                              QStringLiteral("CBRecordPCTime")),
                        2, 0, 1, 2);
    return rate;
}

// The load, restore and clear buttons over the "not loaded" marker.
QVBoxLayout* buildButtons(QWidget* page) {
    auto* buttons = new QVBoxLayout;
    for (auto [name, caption] : {std::pair{"BTLoadDeck", "Load New Setup"},
                                 std::pair{"BTRestoreDeck", "Restore Last Setup"},
                                 std::pair{"BTClearDeck", "Clear Setup"}}) {
        auto* b =
            named(new QPushButton(QString::fromLatin1(caption), page), QString::fromLatin1(name));
        b->setMinimumWidth(160);
        buttons->addWidget(b);
    }
    // Shown from the first edit until the edits are loaded.
    auto* notLoaded = named(new QLabel(QStringLiteral("Setup is Not Loaded"), page),
                            QStringLiteral("PCLoggerPanel"));
    notLoaded->setAlignment(Qt::AlignCenter);
    notLoaded->setFrameShape(QFrame::Panel);
    notLoaded->setFrameShadow(QFrame::Raised);
    notLoaded->setAutoFillBackground(true);
    QPalette yellow = notLoaded->palette();
    yellow.setColor(QPalette::Window, Qt::yellow);
    yellow.setColor(QPalette::WindowText, Qt::black);
    notLoaded->setPalette(yellow);
    notLoaded->setMinimumHeight(35);
    notLoaded->setMargin(8);
    notLoaded->setVisible(false);
    buttons->addWidget(notLoaded);
    buttons->addStretch(1);
    return buttons;
}

}  // namespace

PcLoggerPage::PcLoggerPage(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TSPCLogger"));
    auto* group = buildSlotGroup(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(buildRateGroup(this), 0, Qt::AlignTop);
    bottom->addSpacing(16);
    bottom->addLayout(buildButtons(this));
    bottom->addStretch(1);

    auto* page = new QVBoxLayout(this);
    page->addWidget(group);
    page->addSpacing(8);
    page->addLayout(bottom);
    page->addStretch(1);
}

}  // namespace cvh
