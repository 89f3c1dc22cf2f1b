// The factory settings: the Hardware Configuration and Analog Calibration pages with the one
// password gate they share. The receive loop hands type-7 records to hardware() and type-6
// records to analog().
#pragma once

#include "config/analog_settings.h"
#include "config/factory_password.h"
#include "config/hardware_settings.h"

namespace cvh {

class FactorySettings {
public:
    FactorySettings(LoggerCommands& commands, Operator& op)
        : hardware_(commands, op, passwords_), analog_(commands, op, passwords_) {}
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
