// The three port-tool windows: test one logger port (TTestPortForm), the port statistics
// (TStatsForm) and the logger ID (TMuxIDForm). They hold their controls; the main window
// connects them to the session and copies the session's state into them.
#pragma once

#include <QDialog>
#include <array>

#include "session/stats_window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace cvh {

class HostSession;

// A tool window that tells the main window when the operator closes it, so the session can
// stop what the window started (a port test) and mark it hidden.
class ToolWindow : public QDialog {
    Q_OBJECT
public:
    using QDialog::QDialog;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
};

class TestPortForm : public ToolWindow {
    Q_OBJECT
public:
    explicit TestPortForm(QWidget* parent = nullptr);
    void refresh(const HostSession& session);

    QComboBox* CBTestPort;
    QComboBox* CBTestPortSetup;
    QComboBox* CBHostPortSetup;
    QPushButton* BTTestPort;
    QPushButton* BTStopTest;
};

class StatsForm : public ToolWindow {
    Q_OBJECT
public:
    explicit StatsForm(QWidget* parent = nullptr);
    void refresh(const StatsWindow& stats);

    std::array<QLabel*, StatsWindow::kLineCount> SFLB{};
};

class MuxIdForm : public ToolWindow {
    Q_OBJECT
public:
    explicit MuxIdForm(QWidget* parent = nullptr);
    void refresh(const HostSession& session);

    QSpinBox* UDMuxID;
    QLabel* LBNewMuxID;
    QLabel* LBCurrentMuxID;
    QPushButton* BTSendMuxID;
};

}  // namespace cvh
