#ifndef CVH_CONSOLE_FORM_WARNING_H
#define CVH_CONSOLE_FORM_WARNING_H

#include <QDialog>

namespace cvh {

// The warning window.
// The controls carry their component names as objectName; the console connects them.
class WarningForm : public QDialog {
    Q_OBJECT
public:
    explicit WarningForm(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
