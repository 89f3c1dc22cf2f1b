#include "session/factory_view.h"

#include "base/cformat.h"

namespace cvh {

const std::array<const char*, kDeviceTypeCount> kDeviceTypeItems{"None Selected", "kb5Plus", "TQ7",
                                                                 "EXT Q-Span"};
const std::array<const char*, kStatusLedCount> kStatusLedItems{"No Status LED", "SX-28 Status LED",
                                                               "Direct Status LED"};
const std::array<const char*, kRunStopSwitchCount> kRunStopSwitchItems{
    "No Switch", "SX-28 Normal Polarity", "SX-28 Reverse Polarity", "Direct Input Switch"};

std::string relayItemText(int index) {
    if (index == 0)
        return "None";
    if (index == kRelayChoiceCount - 1)
        return "Self Powered";
    return cformat("Relay %d", index);
}

std::string factoryPasswordLabel() {
    return "Password=" + std::string(kFactoryPassword);
}

namespace {

LabelState notCurrentPanel(const char* caption, bool current) {
    return {caption, !current, Colour::Yellow};
}

}  // namespace

HardwarePageView presentHardwarePage(const HardwareView& view) {
    const HardwareForm& f = view.form;
    HardwarePageView v;
    v.DeviceTypeCB.index = f.deviceType;
    v.UDSerialNumber = f.serialNumber;
    v.StatusLEDCB.index = f.statusLed;
    v.RunStopCB.index = f.runStopSwitch;
    for (int n = 1; n <= 8; ++n)
        v.RelaySP[n - 1].index = f.relay[serialRelayEntry(n)];
    for (int n = 1; n <= 7; ++n)
        v.RelayAP[n - 1].index = f.relay[analogRelayEntry(n)];
    for (int n = 1; n <= 4; ++n)
        v.RelayPP[n - 1].index = f.relay[pumpRelayEntry(n)];
    v.HWPassword = view.password;
    v.HWPasswordLB.caption = factoryPasswordLabel();
    v.HardwarePanel = notCurrentPanel("Hardware Setup is Not Current", view.current);
    return v;
}

std::string calibrationChannelCaption(int channel) {
    if (channel == 0)
        return "Battery\nVoltage";
    // Port 9 has a one-digit number; the blanks line its channel up under the others.
    return channel == 1 ? std::string("Port 9:   Analog 1")
                        : cformat("Port %d: Analog %d", channel + 8, channel);
}

AnalogPageView presentAnalogPage(const AnalogView& view) {
    AnalogPageView v;
    for (int ch = 0; ch < kCalibrationChannelCount; ++ch) {
        v.LBChannel[ch].caption = calibrationChannelCaption(ch);
        v.MEOffset[ch] = view.form.offset[ch];
        v.MEScale[ch] = view.form.scale[ch];
    }
    v.ALGPassword = view.password;
    v.ALGPasswordLB.caption = factoryPasswordLabel();
    v.AnalogPanel = notCurrentPanel("Analog Calibration is Not Current", view.current);
    return v;
}

FactoryPageToggle toggleFactoryPage(FactoryPage page,
                                    const std::array<bool, kPageCount>& pageVisible,
                                    int activePage) {
    const bool hardware = page == FactoryPage::Hardware;
    const int index = pageIndex(hardware ? Page::Hardware : Page::Analog);
    FactoryPageToggle t{pageVisible, activePage,
                        hardware ? MenuItem::HardwareConfig : MenuItem::AnalogCal, ""};
    if (pageVisible[index]) {
        t.pageVisible[index] = false;
        t.menuCaption = hardware ? "Show Hardware Setup" : "Show Analog Calibration";
        // The operator leaves the page for the next one shown; hiding it from the menu while
        // another page is in front leaves that page in front.
        if (activePage == index)
            for (int step = 1; step < kPageCount; ++step) {
                const int next = (index + step) % kPageCount;
                if (t.pageVisible[next]) {
                    t.activePage = next;
                    break;
                }
            }
    } else {
        t.pageVisible[index] = true;
        t.activePage = index;
        t.menuCaption = hardware ? "Hide Hardware Setup" : "Hide Analog Calibration";
    }
    return t;
}

}  // namespace cvh
