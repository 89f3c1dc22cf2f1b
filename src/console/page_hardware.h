#ifndef CVH_CONSOLE_PAGE_HARDWARE_H
#define CVH_CONSOLE_PAGE_HARDWARE_H

#include <QWidget>

namespace cvh {

// The Hardware Configuration page.
// The controls carry their component names as objectName; the console connects them.
class HardwarePage : public QWidget {
    Q_OBJECT
public:
    explicit HardwarePage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
