// The factory settings: the Hardware Configuration and Analog Calibration pages with the one
// password gate they share. The receive loop hands type-7 records to hardware() and type-6
// records to analog().
#pragma once

#include "config/factory_password.h"
#include "session/analog_settings.h"
#include "session/hardware_settings.h"

namespace cvh {

class FactorySettings {
public:
    // Both pages' views are marked in Area::Factory.
    FactorySettings(LoggerCommands& commands, Operator& op, ChangeMarks& marks)
        : hardware_(commands, op, passwords_, marks), analog_(commands, op, passwords_, marks) {}
    FactorySettings(const FactorySettings&) = delete;
    FactorySettings& operator=(const FactorySettings&) = delete;

    HardwareSettings& hardware() { return hardware_; }
    const HardwareSettings& hardware() const { return hardware_; }
    AnalogSettings& analog() { return analog_; }
    const AnalogSettings& analog() const { return analog_; }
    int passwordFailures() const { return passwords_.failures(); }

private:
    PasswordGate passwords_;
    HardwareSettings hardware_;
    AnalogSettings analog_;
};

}  // namespace cvh
