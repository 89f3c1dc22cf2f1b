// The "PC-Logger" page bound to the session's PcLoggerSetup. Operator edits arrive through the
// user-only signals (a list's activated, a button's clicked, a spinner stepped by the operator)
// and go to the page's handlers; refresh() copies the form back with the widgets' signals
// blocked, so a restored host setup never counts as an edit.
#pragma once

#include <QObject>
#include <functional>

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
    void edited();

    HostSession& session_;
    std::function<void()> changed_;
    QWidget* page_ = nullptr;
};

}  // namespace cvh
