#ifndef CVH_CONSOLE_PAGE_ANALOG_H
#define CVH_CONSOLE_PAGE_ANALOG_H

#include <QWidget>

namespace cvh {

// The "Analog Calibration" page: offset (MEOffset0..7) and scale (MEScale0..7) of the battery
// voltage and analog channels 1..7, the password edit ALGPassword, the get, send, load, save and
// done buttons, and the panel AnalogPanel. Every control carries its component name as
// objectName; the console connects them.
class AnalogPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalogPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
