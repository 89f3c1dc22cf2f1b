#ifndef CVH_CONSOLE_PAGE_LOGGER_CONTROL_H
#define CVH_CONSOLE_PAGE_LOGGER_CONTROL_H

#include <QWidget>

namespace cvh {

// The "Logger Control" page: mode of operation, output and storage format, moored time source,
// the six sampling durations (number plus unit), the low-voltage cut-off, the analog sample rate
// and the operational buttons. The duration spinners are QSpinBoxes named DelayUD .. IntervalUD
// whose text field carries the edit's name (DelayEdit .. IntervalEdit); the unit lists are
// DelayCombo .. IntervalCombo. Every control carries its component name as objectName.
class LoggerControlPage : public QWidget {
    Q_OBJECT
public:
    explicit LoggerControlPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
