#ifndef CVH_CONSOLE_PAGE_PORT_SETUP_H
#define CVH_CONSOLE_PAGE_PORT_SETUP_H

#include <QWidget>

namespace cvh {

// The "Port Setup" page: one row per logger port with its meter type and line choice, the
// host port's line choice, the analog channels and the pump ports, each with a once-per-hour
// box for the moored modes. Every control carries its component name as objectName
// (LBS1..LBS8, ComboMeter1..8, CBPort1Setup..8, SOPH1..8, LBAnalog1..7, CBAnalog1..7, AOPH1..7,
// LBPump1..4, CBPump1..4, POPH1..4, ...); the console connects them.
class PortSetupPage : public QWidget {
    Q_OBJECT
public:
    explicit PortSetupPage(QWidget* parent = nullptr);
};

}  // namespace cvh

#endif
