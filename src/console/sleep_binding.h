// The sleep window bound to the clock and sleep controller: the two edits go to it as the
// operator types, SLEEP runs the sleep request, CANCEL (or closing the window) hides it, and
// refresh() shows the clock lines and shows or hides the window as the controller says.
#pragma once

#include <QObject>
#include <functional>

class QDialog;
class QLabel;
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
    QLabel* HostTime_ = nullptr;
    QLabel* HostDate_ = nullptr;
    QLabel* SleepTime_ = nullptr;
    QLabel* SleepDate_ = nullptr;
};

}  // namespace cvh
