#ifndef CVH_CONSOLE_PAGE_LOGGER_CONTROL_H
#define CVH_CONSOLE_PAGE_LOGGER_CONTROL_H

#include <QWidget>

namespace cvh {

// The Logger Control page: mode, timing and output of the logger setup, and the run controls.
// The controls carry their component names as objectName; the console connects them.
class LoggerControlPage : public QWidget {
    Q_OBJECT
public:
    explicit LoggerControlPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
