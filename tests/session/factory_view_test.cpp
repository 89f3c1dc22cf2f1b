#include "session/factory_view.h"

#include <gtest/gtest.h>

namespace cvh {
namespace {

TEST(FactoryView, PagesShowTheFactsByControlWithThePasswordLabelBuiltFromThePassword) {
    HardwareView hw;
    for (int e = 0; e < kRelayEntryCount; ++e)
        hw.form.relay[e] = isRelayPortEntry(e) ? relayEntryPort(e) % kRelayChoiceCount : 0;
    hw.form.deviceType = 3;
    hw.form.serialNumber = 42;
    hw.password = "typed";
    const HardwarePageView h = presentHardwarePage(hw);
    EXPECT_EQ(h.DeviceTypeCB.index, 3);
    EXPECT_EQ(h.UDSerialNumber, 42);
    EXPECT_EQ(h.RelaySP[7].index, 8);  // port 8
    EXPECT_EQ(h.RelayAP[0].index, 9);  // port 9, entry 10
    EXPECT_EQ(h.RelayAP[6].index, 5);  // port 15
    EXPECT_EQ(h.RelayPP[3].index, 9);  // port 19, entry 20
    EXPECT_EQ(h.HWPassword, "typed");
    EXPECT_EQ(h.HWPasswordLB.caption, "Password=" + std::string(kFactoryPassword));
    EXPECT_EQ(h.HardwarePanel.caption, "Hardware Setup is Not Current");
    EXPECT_TRUE(h.HardwarePanel.visible);
    hw.current = true;
    EXPECT_FALSE(presentHardwarePage(hw).HardwarePanel.visible);

    AnalogView alg;
    const AnalogPageView a = presentAnalogPage(alg);
    EXPECT_EQ(a.ALGPasswordLB.caption, h.HWPasswordLB.caption);
    EXPECT_EQ(a.AnalogPanel.caption, "Analog Calibration is Not Current");
    EXPECT_TRUE(a.AnalogPanel.visible);
    EXPECT_EQ(a.MEOffset[0], "200");
    EXPECT_EQ(a.MEScale[7], "5325");
    EXPECT_EQ(a.LBChannel[1].caption, "Port 9:   Analog 1");
    EXPECT_EQ(a.LBChannel[7].caption, "Port 15: Analog 7");
    EXPECT_EQ(relayItemText(0), "None");
    EXPECT_EQ(relayItemText(8), "Relay 8");
    EXPECT_EQ(relayItemText(9), "Self Powered");
}

TEST(FactoryView, MenuItemAndDoneShowOrHideThePage) {
    const int hw = pageIndex(Page::Hardware), alg = pageIndex(Page::Analog);
    const int port = pageIndex(Page::PortSetup), upload = pageIndex(Page::Upload);
    std::array<bool, kPageCount> moored{};  // Moored Logging's pages
    for (Page p : {Page::PortSetup, Page::LoggerControl, Page::Upload, Page::DataStatus})
        moored[pageIndex(p)] = true;
    auto with = [](std::array<bool, kPageCount> pages, int page) {
        pages[page] = true;
        return pages;
    };
    struct Case {
        FactoryPage page;
        std::array<bool, kPageCount> visible;
        int active;
        bool shownAfter;
        int activeAfter;
        const char* caption;
    };
    const Case cases[] = {
        {FactoryPage::Hardware, moored, upload, true, hw, "Hide Hardware Setup"},
        {FactoryPage::Analog, moored, port, true, alg, "Hide Analog Calibration"},
        // Done on the page: the next page shown comes to the front.
        {FactoryPage::Hardware, with(moored, hw), hw, false, upload, "Show Hardware Setup"},
        {FactoryPage::Analog, with(with(moored, alg), hw), alg, false, hw,
         "Show Analog Calibration"},
        // From the menu while another page is in front, that page stays.
        {FactoryPage::Hardware, with(moored, hw), port, false, port, "Show Hardware Setup"},
    };
    for (const Case& c : cases) {
        const FactoryPageToggle t = toggleFactoryPage(c.page, c.visible, c.active);
        const int index = c.page == FactoryPage::Hardware ? hw : alg;
        EXPECT_EQ(t.pageVisible[index], c.shownAfter) << c.caption;
        EXPECT_EQ(t.activePage, c.activeAfter) << c.caption;
        EXPECT_EQ(t.menuCaption, c.caption);
        EXPECT_EQ(t.menuItem,
                  c.page == FactoryPage::Hardware ? MenuItem::HardwareConfig : MenuItem::AnalogCal);
        for (int p = 0; p < kPageCount; ++p) {
            if (p != index) {
                EXPECT_EQ(t.pageVisible[p], c.visible[p]);
            }
        }
    }
}

}  // namespace
}  // namespace cvh
