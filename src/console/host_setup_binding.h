// The host setup file in the console: the File menu's open and save items, the window's state
// and size as the host-setup store keeps them, and the few controls only that file reads and
// writes (ExtractFilesRG, DandTCB).
#pragma once

#include <QObject>
#include <functional>

class QMainWindow;

#include "session/host_setup_controls.h"

class QCheckBox;
class QSpinBox;

namespace cvh {

class UploadPage;

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
    void applyGeometry(const WindowGeometry& geometry);

    QMainWindow& window_;
    HostSession& session_;
    std::function<void()> changed_;
    UploadPage* upload_ = nullptr;
    QCheckBox* DandTCB_ = nullptr;
};

}  // namespace cvh
