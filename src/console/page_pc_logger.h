#ifndef CVH_CONSOLE_PAGE_PC_LOGGER_H
#define CVH_CONSOLE_PAGE_PC_LOGGER_H

#include <QWidget>

namespace cvh {

// The PC-Logger page: PC serial ports as instrument inputs and deck outputs.
// The controls carry their component names as objectName; the console connects them.
class PcLoggerPage : public QWidget {
    Q_OBJECT
public:
    explicit PcLoggerPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
