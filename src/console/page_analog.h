#ifndef CVH_CONSOLE_PAGE_ANALOG_H
#define CVH_CONSOLE_PAGE_ANALOG_H

#include <QWidget>

namespace cvh {

// The Analog Calibration page.
// The controls carry their component names as objectName; the console connects them.
class AnalogPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalogPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
