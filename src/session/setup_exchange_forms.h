// What the Port Setup and Logger Control pages show, as plain state. Members carry the
// component names of their controls (arrays of numbered controls drop the number: element 0 of
// ComboMeter is ComboMeter1), so the console copies them into the widgets by name.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <string>

#include "config/logger_setup.h"
#include "session/colour.h"

namespace cvh {

// A list box: its selected entry (-1 = none) and visibility.
struct ComboState {
    int index = -1;
    bool visible = true;
    bool operator==(const ComboState&) const = default;
};

struct CheckState {
    bool checked = false;
    bool visible = true;
    bool operator==(const CheckState&) const = default;
};

struct LabelState {
    std::string caption;
    bool visible = true;
    Colour colour = Colour::ButtonFace;
    bool operator==(const LabelState&) const = default;
};

// A duration: the number edit with its spinner, and its unit list (-1 = no unit chosen yet; the
// list then shows the initial unit's text as a placeholder).
struct DurationState {
    int number = 5;
    int unit = -1;
    bool visible = true;
    bool operator==(const DurationState&) const = default;
};

struct PortSetupForm {
    PortSetupForm();

    ComboState CBHostPortSetup;
    std::array<LabelState, kLoggerPortCount> LBS;             // LBS1..LBS8, the row labels
    std::array<ComboState, kLoggerPortCount> ComboMeter;      // ComboMeter1..ComboMeter8
    std::array<ComboState, kLoggerPortCount> CBPortSetup;     // CBPort1Setup..CBPort8Setup
    std::array<LabelState, kAnalogChannelCount> LBAnalogRow;  // LBAnalog1..LBAnalog7
    std::array<ComboState, kAnalogChannelCount> CBAnalog;     // CBAnalog1..CBAnalog7
    std::array<LabelState, kPumpPortCount> LBPumpRow;         // LBPump1..LBPump4
    std::array<ComboState, kPumpPortCount> CBPump;            // CBPump1..CBPump4
    // Once-per-hour boxes and their two-line column headers.
    std::array<CheckState, kLoggerPortCount> SOPH;
    std::array<CheckState, kAnalogChannelCount> AOPH;
    std::array<CheckState, kPumpPortCount> POPH;
    bool SOPHLBVisible = false;  // SOPHLB1, SOPHLB2
    bool AOPHLBVisible = false;  // AOPHLB1, AOPHLB2
    bool POPHLBVisible = false;  // POPHLB1, POPHLB2
    LabelState HostType{"Host:"};
    LabelState LBAnalogSetup{"Analog Ports"};
    LabelState LBPump{"    Pump Ports    "};

    bool operator==(const PortSetupForm&) const = default;
};

// Every once-per-hour box with its bit in the setup record's mask: the ports from bit 0, the
// analog channels from bit 8, the pumps from bit 16. Reading and writing the mask both walk it.
template <typename Form, typename Visit>
void forEachOncePerHourBox(Form& p, Visit visit) {
    for (std::size_t i = 0; i < p.SOPH.size(); ++i)
        visit(p.SOPH[i], static_cast<int>(i));
    for (std::size_t i = 0; i < p.AOPH.size(); ++i)
        visit(p.AOPH[i], 8 + static_cast<int>(i));
    for (std::size_t i = 0; i < p.POPH.size(); ++i)
        visit(p.POPH[i], 16 + static_cast<int>(i));
}

struct LoggerControlForm {
    LoggerControlForm();

    ComboState ModeCB;
    std::array<DurationState, kDurationCount> durations;  // indexed by Duration
    int UDLVCutOff = kLowVoltageRange.initial;            // tenths of a volt
    LabelState LBLowVoltage{" 6.5 V"};
    int UDAnalogRate = kAnalogRateRange.initial;  // Hz
    LabelState LBAnalogRate;
    ComboState OutputCB;
    ComboState FileCB;
    ComboState TimeSourceCB;
    CheckState CBAutoStart;
    bool BTSleepVisible = false;
    std::array<bool, 4> ButtonVisible{};  // Button1..Button4 ("Polled-Wake", "Polled-Sleep")

    DurationState& duration(Duration d) { return durations[static_cast<std::size_t>(d)]; }
    const DurationState& duration(Duration d) const {
        return durations[static_cast<std::size_t>(d)];
    }
    bool operator==(const LoggerControlForm&) const = default;
};

// Both setup pages and the setup marker panel PStore.
struct SetupForms {
    PortSetupForm portSetup;
    LoggerControlForm loggerControl;
    LabelState PStore{"Setup is ???", false, Colour::ButtonFace};

    bool operator==(const SetupForms&) const = default;
};

}  // namespace cvh
