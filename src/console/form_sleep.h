#ifndef CVH_CONSOLE_FORM_SLEEP_H
#define CVH_CONSOLE_FORM_SLEEP_H

#include <QDialog>

namespace cvh {

// The sleep window "Sleep Options" (modeless): the wake time METime and date MEDate, the host's
// and the logger's clock (HostTime, HostDate, SleepTime, SleepDate), and the SLEEP and CANCEL
// buttons (SleepButton, CancelButton). Every control carries its component name as objectName;
// the console connects them.
class SleepForm : public QDialog {
    Q_OBJECT
public:
    explicit SleepForm(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
