// The sleep window bound to the session: the two edits go into HostSession::sleepWindow as the
// operator types, SLEEP runs the sleep request, CANCEL (or closing the window) hides it, and
// refresh() shows or hides the window as the session says. Its clock lines are kept by the main
// window.
#pragma once

#include <QObject>
#include <functional>

class QDialog;
class QLineEdit;

namespace cvh {

class HostSession;

class SleepBinding : public QObject {
    Q_OBJECT
public:
    SleepBinding(QDialog& form, HostSession& session, std::function<void()> changed);
    void refresh();

private:
    QDialog& form_;
    HostSession& session_;
    std::function<void()> changed_;
    QLineEdit* METime_ = nullptr;
    QLineEdit* MEDate_ = nullptr;
};

}  // namespace cvh
