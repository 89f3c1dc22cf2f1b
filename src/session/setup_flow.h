// The operator's side of the setup exchange: the controls of the Port Setup and Logger Control
// pages as the console reports their changes, and which edit rule each change runs.
#pragma once

namespace cvh {

// The change rules of the two setup pages. Every one marks the setup not current; some do
// more (see setup_exchange.h).
enum class SetupEdit {
    // A port, analog, pump, output, file or unit list, a duration number typed in, or "Start
    // Sample When Powered": also raises the analog rate to the meters' floors.
    ValueChanged,
    // The spinners of the durations (but Delay) and of the analog rate: refresh the rate label.
    RateStepped,
    // The Delay spinner.
    DelayStepped,
    // A once-per-hour box.
    OncePerHourToggled,
    TimeSourceChanged,
    // The low-voltage spinner: its label follows.
    LowVoltageStepped,
    // The mode of operation: the moored layout and the polled buttons follow.
    LoggerModeChanged,
};

// A control of the two setup pages; `row` picks the port, channel, pump or duration.
enum class SetupControl {
    MeterType,          // ComboMeter1..8
    PortLine,           // CBPort1Setup..CBPort8Setup
    HostPortLine,       // CBHostPortSetup
    AnalogChannel,      // CBAnalog1..7
    PumpPort,           // CBPump1..4
    SerialOncePerHour,  // SOPH1..8
    AnalogOncePerHour,  // AOPH1..7
    PumpOncePerHour,    // POPH1..4
    LoggerMode,         // ModeCB
    OutputFormat,       // OutputCB
    FileFormat,         // FileCB
    TimeSource,         // TimeSourceCB
    AutoStart,          // CBAutoStart
    DurationUnit,       // DelayCombo..IntervalCombo
    DurationStepped,    // DelayUD..IntervalUD stepped by their arrows
    DurationTyped,      // a number typed into DelayUD..IntervalUD
    LowVoltage,         // UDLVCutOff
    AnalogRate,         // UDAnalogRate
};

}  // namespace cvh
