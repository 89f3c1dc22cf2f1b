// The Port Setup and Logger Control pages bound to the session's setup forms. Operator edits
// arrive through the user-only signals (activated, clicked, a spinner's value once the operator
// stepped it or finished typing), are stored into HostSession::setup and handed to the matching
// edit handler; refresh() copies the forms back with the widgets' signals blocked, so showing a
// received setup never counts as an edit. The buttons of both pages send their commands.
#pragma once

#include <QObject>
#include <array>
#include <functional>

#include "config/logger_setup.h"
#include "session/setup_flow.h"

class QLabel;
class QScrollBar;
class QWidget;

namespace cvh {

class HostSession;

class SetupBinding : public QObject {
    Q_OBJECT
public:
    // `window` holds both pages (TSPortSetup, TSLoggerControl); `changed` is called after each
    // operator event so the window shows the session's new state.
    SetupBinding(QWidget& window, HostSession& session, std::function<void()> changed);

    // Copies the forms into the controls the rest of the window does not already keep.
    void refresh();

private:
    void bindPortSetup();
    void bindLoggerControl();
    void addWakeDelayControls();
    void edited(SetupEdit edit);
    void refreshPortSetup();
    void refreshLoggerControl();

    HostSession& session_;
    std::function<void()> changed_;
    QWidget* portPage_ = nullptr;
    QWidget* controlPage_ = nullptr;
    // A duration number typed into its edit counts as a list edit, a step of its spinner as a
    // spinner click; set by typing, used and cleared by the next value change.
    std::array<bool, kDurationCount> typed_{};
    QScrollBar* MVPScroll_ = nullptr;
    QLabel* MVPLabel_ = nullptr;
};

}  // namespace cvh
