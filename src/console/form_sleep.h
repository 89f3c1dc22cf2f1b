#ifndef CVH_CONSOLE_FORM_SLEEP_H
#define CVH_CONSOLE_FORM_SLEEP_H

#include <QDialog>

namespace cvh {

// The sleep window: when the logger is to wake.
// The controls carry their component names as objectName; the console connects them.
class SleepForm : public QDialog {
    Q_OBJECT
public:
    explicit SleepForm(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
