// The host setup file in the console: the File menu's open and save items, the window's state
// and size as the session keeps them, and the few controls only that file reads and writes
// (ExtractFilesRG, ReplaySpeedUD, DandTCB); the labels of ModeCB, FileCB and OutputCB follow
// their boxes.
#pragma once

#include <QObject>
#include <functional>

class QMainWindow;

namespace cvh {

class HostSession;

class HostSetupBinding : public QObject {
    Q_OBJECT
public:
    HostSetupBinding(QMainWindow& window, HostSession& session, std::function<void()> changed);

    void refresh();

protected:
    // Keeps the session's copy of the window's state and size up to date.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteGeometry();
    void applyGeometry();
    void edited();

    QMainWindow& window_;
    HostSession& session_;
    std::function<void()> changed_;
    unsigned appliedGeometry_ = 0;
};

}  // namespace cvh
