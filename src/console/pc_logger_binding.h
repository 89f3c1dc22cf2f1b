// The "PC-Logger" page bound to the PC logger controller. Every control is looked up once,
// here. Operator edits arrive through the user-only signals (a list's activated, a button's
// clicked, a spinner stepped by the operator) and go to the controller; refresh() copies the
// form back with the widgets' signals blocked, so a restored host setup never counts as an edit.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "session/pc_logger_setup.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;
class QWidget;

namespace cvh {

class HostSession;

class PcLoggerBinding : public QObject {
    Q_OBJECT
public:
    // `window` holds the page TSPCLogger; `changed` runs after each operator edit.
    PcLoggerBinding(QWidget& window, HostSession& session, std::function<void()> changed);

    void refresh();

private:
    struct SlotRow {
        QComboBox* function = nullptr;     // PortType<n>CB
        QComboBox* comPort = nullptr;      // DeckPort<n>CB
        QComboBox* lineSetting = nullptr;  // DeckSetup<n>CB
        QLabel* idLabel = nullptr;         // LBDeckType<n>
        QSpinBox* id = nullptr;            // UDDeckType<n>
        QLabel* portLabel = nullptr;       // PCOutPort<n>
        QSpinBox* port = nullptr;          // UDOutPort<n>
        QLabel* traffic = nullptr;         // PCPort<n>
    };
    void bindRow(int slot, const QWidget& page);

    HostSession& session_;
    std::function<void()> changed_;
    std::array<SlotRow, kPcSlotCount> rows_{};
    QSpinBox* UDDeckRate_ = nullptr;
    QLabel* LBDeckRate_ = nullptr;
    QLabel* LBDeckInterval_ = nullptr;
    QCheckBox* CBRecordPCTime_ = nullptr;
    QLabel* PCLoggerPanel_ = nullptr;
    QLabel* PCInHdr_ = nullptr;
    QLabel* PCOutHdr_ = nullptr;
};

}  // namespace cvh
