#ifndef CVH_CONSOLE_PAGE_PORT_SETUP_H
#define CVH_CONSOLE_PAGE_PORT_SETUP_H

#include <QWidget>

namespace cvh {

// The Port Setup page: serial, analog and pump port rows of the logger setup.
// The controls carry their component names as objectName; the console connects them.
class PortSetupPage : public QWidget {
    Q_OBJECT
public:
    explicit PortSetupPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
