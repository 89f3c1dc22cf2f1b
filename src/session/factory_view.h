// What the Hardware Configuration and Analog Calibration pages show, by the component names of
// their controls, made from the factory settings' facts; and showing or hiding either page
// from its menu item or its Done button.
#pragma once

#include <array>
#include <string>

#include "session/analog_settings.h"
#include "session/hardware_settings.h"
#include "session/host_modes.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

// ---- Hardware Configuration -----------------------------------------------------------------

extern const std::array<const char*, kDeviceTypeCount> kDeviceTypeItems;        // DeviceTypeCB
extern const std::array<const char*, kStatusLedCount> kStatusLedItems;          // StatusLEDCB
extern const std::array<const char*, kRunStopSwitchCount> kRunStopSwitchItems;  // RunStopCB
// The items of every relay list: "None", "Relay 1".."Relay 8", "Self Powered".
std::string relayItemText(int index);

// "Password=" and the password, on both pages.
std::string factoryPasswordLabel();

struct HardwarePageView {
    ComboState DeviceTypeCB;
    int UDSerialNumber = 0;  // its text field is SNEdit
    ComboState StatusLEDCB;
    ComboState RunStopCB;
    std::array<ComboState, 8> RelaySP;  // RelaySP1..RelaySP8, serial ports 1..8
    std::array<ComboState, 7> RelayAP;  // RelayAP1..RelayAP7, analog ports 9..15
    std::array<ComboState, 4> RelayPP;  // RelayPP1..RelayPP4, pump ports 16..19
    std::string HWPassword;
    LabelState HWPasswordLB;
    LabelState HardwarePanel;  // "Hardware Setup is Not Current" while not current

    bool operator==(const HardwarePageView&) const = default;
};
HardwarePageView presentHardwarePage(const HardwareView& view);

// ---- Analog Calibration ---------------------------------------------------------------------

// LBChannel0..LBChannel7: "Battery\nVoltage", then "Port <n>: Analog <channel>".
std::string calibrationChannelCaption(int channel);

struct AnalogPageView {
    std::array<LabelState, kCalibrationChannelCount> LBChannel;  // LBChannel0..LBChannel7
    std::array<std::string, kCalibrationChannelCount> MEOffset;  // MEOffset0..MEOffset7
    std::array<std::string, kCalibrationChannelCount> MEScale;   // MEScale0..MEScale7
    std::string ALGPassword;
    LabelState ALGPasswordLB;
    LabelState AnalogPanel;  // "Analog Calibration is Not Current" while not current

    bool operator==(const AnalogPageView&) const = default;
};
AnalogPageView presentAnalogPage(const AnalogView& view);

// ---- Showing and hiding the pages ------------------------------------------------------------

enum class FactoryPage { Hardware, Analog };

// The menu item HardwareConfig or AnalogCal, and the Done buttons BTDoneWithHardware and
// BTDoneWithAnalog, all toggle their page.
struct FactoryPageToggle {
    std::array<bool, kPageCount> pageVisible{};
    int activePage = 0;
    MenuItem menuItem = MenuItem::HardwareConfig;
    std::string menuCaption;
};
// A shown page is hidden ("Show ..." on its menu item); when it was the active page the next
// shown page becomes active. A hidden page is shown, made active, and its item reads "Hide ...".
FactoryPageToggle toggleFactoryPage(FactoryPage page,
                                    const std::array<bool, kPageCount>& pageVisible,
                                    int activePage);

}  // namespace cvh
