#ifndef CVH_CONSOLE_PAGE_HARDWARE_H
#define CVH_CONSOLE_PAGE_HARDWARE_H

#include <QWidget>

namespace cvh {

// The "Hardware Configuration" page: device type, serial number (UDSerialNumber, a QSpinBox
// whose text field is named SNEdit), status LED, run/stop switch, one relay selector per logger
// port (RelaySP1..8, RelayAP1..7, RelayPP1..4), the password edit HWPassword, the get, send,
// load, save, defaults and done buttons, and the panel HardwarePanel. Every control carries its
// component name as objectName; the console connects them.
class HardwarePage : public QWidget {
    Q_OBJECT
public:
    explicit HardwarePage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
