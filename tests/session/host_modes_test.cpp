// Every host mode against every page, setup control and menu item its tables name.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "session_fixture.h"

namespace cvh::test {
namespace {

constexpr int kKept = -2;  // ModeCB keeps its item

struct ModeRow {
    HostMode mode;
    MenuItem menuItem;  // how the operator selects it
    const char* caption;
    // Port Setup, Logger Control, Plot, Analog, Hardware, PC-Logger, Recording, Real Time,
    // Upload, Data Status
    std::array<bool, kPageCount> pages;
    bool autoStartChecked;
    int modeCB, fileCB, outputCB;
    bool modeCBShown, fileCBShown, outputCBShown;
    bool pStore, runNumber, runStop, power, portPanel, statusGB;
    // Factory+Reset, Test port+N5, Moored time, Time sync group (4), Annotate, Debug+Default
    // flash, Hardware+Analog, N11+N2+Change ID
    std::array<bool, 8> menus;
    bool closesDeckPorts, closesLoggerPort;
};

// clang-format off
const std::vector<ModeRow> kRows = {
    {HostMode::Analog, MenuItem::MenuAnalog, "Analog Output", {1,1,0,0,0,0,1,1,0,0}, true, 3, 0, 3, false, false, false,
     true, false, false, false, true, true, {1,0,0,1,0,0,1,0}, true, false},
    {HostMode::Moored, MenuItem::MenuMoored, "Moored Logging", {1,1,0,0,0,0,0,0,1,1}, false, 1, 1, 0, false, false, false,
     true, true, false, false, true, true, {1,1,0,1,0,0,1,0}, true, false},
    {HostMode::Profile, MenuItem::MenuProfile, "Profile Logging", {1,1,0,0,0,0,0,0,1,1}, false, 0, 1, 0, false, false, false,
     true, true, true, false, true, true, {1,1,0,1,0,0,1,0}, true, false},
    {HostMode::RealTimeOutput, MenuItem::MenuRealTimeOutput, "Real Time Data", {1,1,0,0,0,1,1,1,0,1}, false, 2, 0, 1, false, false, false,
     true, false, false, false, true, true, {1,1,0,1,1,0,1,1}, false, false},
    {HostMode::Advanced, MenuItem::MenuAdvanced, "Advanced User", {1,1,0,0,0,1,1,1,1,1}, false, kKept, 0, 1, true, true, true,
     true, true, true, true, true, true, {1,1,0,1,1,1,1,1}, false, false},
    {HostMode::PcLogger, MenuItem::PCLogger, "PC Logger", {0,0,0,0,0,1,1,1,0,0}, false, 2, 0, 1, true, true, true,
     false, false, false, false, false, false, {0,0,0,0,1,0,0,0}, false, true},
};
// clang-format on

const std::vector<std::vector<MenuItem>> kMenuGroups = {
    {MenuItem::MenuFactorySettings, MenuItem::ResetToMonitor},
    {MenuItem::MenuTestOneSerialPort, MenuItem::N5},
    {MenuItem::MenuMooredTimeUpdate},
    {MenuItem::MenuLoggerTimeUpdate, MenuItem::MenuAutoTimeUpdate, MenuItem::MenuUpdateTimeNow,
     MenuItem::N1},
    {MenuItem::MenuAnnotateFile},
    {MenuItem::ToggleDebug, MenuItem::LoadDefaultFlashSetup},
    {MenuItem::HardwareConfig, MenuItem::AnalogCal},
    {MenuItem::N11, MenuItem::N2, MenuItem::MenuChangeLoggerID},
};

void expectLayout(HostSession& s, const ModeRow& row, int modeCBBefore) {
    SCOPED_TRACE("mode " + std::to_string(hostModeNumber(row.mode)));
    EXPECT_EQ(s.main().HostMode.caption, row.caption);
    EXPECT_EQ(s.activeHostMode(), row.mode);
    // The live plot goes with the Real Time Data page.
    auto shown = row.pages;
    shown[pageIndex(Page::LivePlot)] = row.pages[pageIndex(Page::RealTime)];
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_EQ(s.main().pageVisible[p], shown[p]) << kPages[p].objectName;
    const auto& lc = s.setupExchange().forms().loggerControl;
    EXPECT_TRUE(lc.CBAutoStart.visible);
    EXPECT_EQ(lc.CBAutoStart.checked, row.autoStartChecked);
    EXPECT_EQ(lc.ModeCB.index, row.modeCB == kKept ? modeCBBefore : row.modeCB);
    EXPECT_EQ(lc.FileCB.index, row.fileCB);
    EXPECT_EQ(lc.OutputCB.index, row.outputCB);
    EXPECT_EQ(lc.ModeCB.visible, row.modeCBShown);
    EXPECT_EQ(lc.FileCB.visible, row.fileCBShown);
    EXPECT_EQ(lc.OutputCB.visible, row.outputCBShown);
    EXPECT_EQ(lc.TimeSourceCB.index, 0);
    EXPECT_FALSE(lc.TimeSourceCB.visible);
    EXPECT_EQ(s.setupExchange().forms().PStore.visible, row.pStore);
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    EXPECT_EQ(s.setupExchange().forms().PStore.colour, Colour::Yellow);
    EXPECT_EQ(s.main().LBRunNumber.visible, row.runNumber);
    EXPECT_EQ(s.main().LBRunStop.visible, row.runStop);
    EXPECT_EQ(s.main().LBPower.visible, row.power);
    EXPECT_EQ(s.portView().loggerPortGroupVisible, row.portPanel);
    EXPECT_EQ(s.main().COMStatus.visible, row.portPanel);
    EXPECT_EQ(s.main().item(MenuItem::MenuLoggerPortSetup).visible, row.portPanel);
    EXPECT_EQ(s.main().item(MenuItem::ShowLoggerPortSetup).caption,
              row.portPanel ? "Hide Logger Port Setup" : "Show Logger Port Setup");
    EXPECT_EQ(s.main().LoggerStatusGB.visible, row.statusGB);
    EXPECT_FALSE(s.main().FlashPanel.visible);
    EXPECT_FALSE(s.main().RemoteHostPanel.visible);
    EXPECT_EQ(s.replayControls(),
              (ReplayControlsVisibility{false, false, false, false, false, false}));
    EXPECT_FALSE(s.main().item(MenuItem::Menukb5PassThru).visible);
    EXPECT_FALSE(s.main().item(MenuItem::N9).visible);
    for (std::size_t g = 0; g < kMenuGroups.size(); ++g)
        for (MenuItem m : kMenuGroups[g])
            EXPECT_EQ(s.main().item(m).visible, row.menus[g])
                << kMenuTable[menuIndex(m)].objectName;
    // Items outside the Commands menu keep their design.
    EXPECT_TRUE(s.main().item(MenuItem::MenuMoored).visible);
    EXPECT_FALSE(s.main().item(MenuItem::MenuPHI3).visible);
    EXPECT_FALSE(s.main().item(MenuItem::MenuReplay).visible);
}

TEST(HostModes, EveryMenuModeArrangesItsPagesControlsAndMenus) {
    for (const ModeRow& row : kRows) {
        SessionFixture f;
        f.s().startUp(f.dir());
        const int before = f.s().setupExchange().forms().loggerControl.ModeCB.index;
        f.s().modeMenuClick(row.menuItem);
        expectLayout(f.s(), row, before);
    }
}

TEST(HostModes, ModesFollowEachOtherWithoutLeftovers) {
    SessionFixture f;
    f.s().startUp(f.dir());
    for (const ModeRow& row : kRows) {
        const int before = f.s().setupExchange().forms().loggerControl.ModeCB.index;
        f.s().modeMenuClick(row.menuItem);
        expectLayout(f.s(), row, before);
    }
    for (auto it = kRows.rbegin(); it != kRows.rend(); ++it) {
        const int before = f.s().setupExchange().forms().loggerControl.ModeCB.index;
        f.s().modeMenuClick(it->menuItem);
        expectLayout(f.s(), *it, before);
    }
}

TEST(HostModes, AFactoryPageAModeHidesOffersToBeShownAgain) {
    SessionFixture f;
    f.s().startUp(f.dir());
    f.s().modeMenuClick(MenuItem::MenuAdvanced);
    f.s().toggleFactoryPageClick(FactoryPage::Hardware);
    ASSERT_EQ(f.s().main().item(MenuItem::HardwareConfig).caption, "Hide Hardware Setup");
    f.s().modeMenuClick(MenuItem::MenuMoored);
    EXPECT_FALSE(f.s().main().page(Page::Hardware));
    EXPECT_EQ(f.s().main().item(MenuItem::HardwareConfig).caption, "Show Hardware Setup");
    // A page that was not shown keeps the caption it had.
    EXPECT_EQ(f.s().main().item(MenuItem::AnalogCal).caption, "Show Analog Calibration");
}

TEST(HostModes, StartWithoutHostSetupShowsNoModeAndOnlyFactoryItems) {
    SessionFixture f;
    f.s().startUp(f.dir());
    auto& s = f.s();
    EXPECT_EQ(s.main().HostMode.caption, "No Mode Selected");
    EXPECT_EQ(s.activeHostMode(), HostMode::None);
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_FALSE(s.main().pageVisible[p]);
    EXPECT_TRUE(s.portView().loggerPortGroupVisible);
    EXPECT_TRUE(s.main().LoggerStatusGB.visible);
    EXPECT_EQ(s.main().LoggerStatusGB.colour, Colour::Yellow);
    EXPECT_FALSE(s.setupExchange().forms().PStore.visible);
    for (int i = 0; i < kMenuItemCount; ++i) {
        const bool factory = i == menuIndex(MenuItem::MenuFactorySettings) ||
                             i == menuIndex(MenuItem::ResetToMonitor);
        bool underCommands = false;
        for (int p = kMenuTable[i].parent; p >= 0; p = kMenuTable[p].parent)
            underCommands = underCommands || p == menuIndex(MenuItem::CommandsMenu);
        if (underCommands) {
            EXPECT_EQ(s.main().menu[i].visible, factory) << kMenuTable[i].objectName;
        }
    }
    EXPECT_EQ(s.main().title, "CV Host: v7.09e");
}

TEST(HostModes, ModesThatArrangeNothingKeepPagesAndSayWhy) {
    for (int mode : {0, 6, 7, 9, -2, 300}) {
        SessionFixture f;
        f.s().startUp(f.dir());
        f.s().modeMenuClick(MenuItem::MenuMoored);
        const auto pagesBefore = f.s().main().pageVisible;
        const auto menuBefore = f.s().main().menu;
        f.op.asked.clear();
        f.s().selectHostMode(static_cast<HostMode>(mode));
        SCOPED_TRACE(mode);
        EXPECT_EQ(f.s().main().pageVisible, pagesBefore);
        for (int i = 0; i < kMenuItemCount; ++i)
            EXPECT_EQ(f.s().main().menu[i].visible, menuBefore[i].visible);
        EXPECT_EQ(f.s().main().HostMode.caption, mode == 7 ? "No Mode Selected" : "Invalid Mode");
        EXPECT_EQ(hostModeNumber(f.s().activeHostMode()), mode);
        const auto notices = f.op.notices();
        if (mode == 0) {
            ASSERT_EQ(notices.size(), 1u);
            EXPECT_EQ(notices[0].caption, "HD");
            EXPECT_EQ(notices[0].text, "Disp Done");
        } else {
            EXPECT_TRUE(notices.empty());
        }
    }
}

TEST(HostModes, PassThruItemIsHiddenByEveryArrangingModeOnly) {
    SessionFixture f;
    EXPECT_TRUE(f.s().main().item(MenuItem::Menukb5PassThru).visible);
    f.s().selectHostMode(HostMode::Kb5PassThru);
    EXPECT_TRUE(f.s().main().item(MenuItem::Menukb5PassThru).visible);
    for (int p = 0; p < kPageCount; ++p)
        EXPECT_EQ(f.s().main().pageVisible[p], p != pageIndex(Page::PlotSetup));
}

TEST(HostModes, AdvancedUserKeepsTheChosenLoggerMode) {
    SessionFixture f;
    f.s().startUp(f.dir());
    SessionTestAccess::setup(f.s()).loggerControl.ModeCB.index = -1;
    f.s().selectHostMode(HostMode::Advanced);
    EXPECT_EQ(f.s().setupExchange().forms().loggerControl.ModeCB.index, 2);
    SessionTestAccess::setup(f.s()).loggerControl.ModeCB.index = 12;
    f.s().modeMenuClick(MenuItem::MenuAdvanced);
    EXPECT_EQ(f.s().setupExchange().forms().loggerControl.ModeCB.index, 12);
    // Polled moored: polled buttons, sample interval and sleep button shown.
    EXPECT_TRUE(f.s().setupExchange().forms().loggerControl.ButtonVisible[0]);
    EXPECT_TRUE(f.s().setupExchange().forms().loggerControl.BTSleepVisible);
}

TEST(HostModes, MooredModeOffersTheOncePerHourColumnForShownRows) {
    SessionFixture f;
    f.s().startUp(f.dir());
    auto& ps = SessionTestAccess::setup(f.s()).portSetup;
    for (auto& l : ps.LBS)
        l.visible = false;
    ps.LBS[2].visible = true;
    for (auto& l : ps.LBAnalogRow)
        l.visible = false;
    for (auto& l : ps.LBPumpRow)
        l.visible = false;
    ps.SOPH[2].checked = true;
    f.s().modeMenuClick(MenuItem::MenuMoored);
    EXPECT_TRUE(ps.SOPHLBVisible);
    EXPECT_TRUE(ps.SOPH[2].visible);
    EXPECT_TRUE(ps.SOPH[2].checked);
    EXPECT_FALSE(ps.SOPH[1].visible);
    EXPECT_FALSE(ps.AOPHLBVisible);
    EXPECT_FALSE(ps.POPHLBVisible);
    // Profile mode hides the column and clears the boxes.
    f.s().modeMenuClick(MenuItem::MenuProfile);
    EXPECT_FALSE(ps.SOPHLBVisible);
    EXPECT_FALSE(ps.SOPH[2].visible);
    EXPECT_FALSE(ps.SOPH[2].checked);
}

TEST(HostModes, ModeMenusClosePortsAsTheirTablesSay) {
    SessionFixture f;
    auto logger = f.addLoggerLine(1);
    auto deck = f.backend.add(f.s().ports().names().name(2));
    f.s().startUp(f.dir());
    f.s().linkPorts().loggerPortChange(1, 6);
    f.s().ports().openPort(3, 2);
    ASSERT_TRUE(f.s().ports().isPortOpen(0));
    ASSERT_TRUE(f.s().ports().isPortOpen(3));
    f.s().modeMenuClick(MenuItem::MenuRealTimeOutput);
    EXPECT_TRUE(f.s().ports().isPortOpen(0));
    EXPECT_TRUE(f.s().ports().isPortOpen(3));
    f.s().modeMenuClick(MenuItem::MenuMoored);
    EXPECT_FALSE(f.s().ports().isPortOpen(3));
    EXPECT_TRUE(f.s().ports().isPortOpen(0));
    f.s().modeMenuClick(MenuItem::PCLogger);
    EXPECT_FALSE(f.s().ports().isPortOpen(0));
    EXPECT_EQ(f.s().portView().loggerPortIndex, 0);
}

TEST(HostModes, ColourRuleComparesHostAndLoggerModes) {
    SessionFixture f;
    auto& s = f.s();
    SessionTestAccess::main(s).LoggerMode.visible = true;
    SessionTestAccess::colourModeLabels(s, HostMode::Moored, LoggerMode::PolledMoored);
    EXPECT_EQ(s.main().HostMode.colour, Colour::Red);
    EXPECT_EQ(s.main().LoggerMode.colour, Colour::Red);
    SessionTestAccess::colourModeLabels(s, HostMode::Moored, LoggerMode::Moored);
    EXPECT_EQ(s.main().HostMode.colour, Colour::ButtonFace);
    SessionTestAccess::colourModeLabels(s, HostMode::RealTimeOutput, LoggerMode::Analog);
    EXPECT_EQ(s.main().LoggerMode.colour, Colour::Red);
    SessionTestAccess::colourModeLabels(s, HostMode::Phi3, LoggerMode::Analog);  // no change
    EXPECT_EQ(s.main().LoggerMode.colour, Colour::Red);
    SessionTestAccess::colourModeLabels(s, HostMode::PcLogger, LoggerMode::Analog);
    EXPECT_EQ(s.main().LoggerMode.colour, Colour::ButtonFace);
    SessionTestAccess::main(s).LoggerMode.visible = false;
    SessionTestAccess::colourModeLabels(s, HostMode::Moored, loggerModeOf(5));
    EXPECT_EQ(s.main().HostMode.colour, Colour::ButtonFace);
}

TEST(HostModes, DebugItemAndPortPanelToggle) {
    SessionFixture f;
    f.s().toggleDebug();
    EXPECT_TRUE(f.s().debugFileEnabled());
    EXPECT_TRUE(f.s().main().item(MenuItem::ToggleDebug).checked);
    f.s().toggleDebug();
    EXPECT_FALSE(f.s().main().item(MenuItem::ToggleDebug).checked);
    f.s().startUp(f.dir());
    EXPECT_TRUE(f.s().portView().loggerPortGroupVisible);
    f.s().linkPorts().toggleLoggerPortPanel();
    EXPECT_FALSE(f.s().portView().loggerPortGroupVisible);
    EXPECT_EQ(f.s().main().item(MenuItem::ShowLoggerPortSetup).caption, "Show Logger Port Setup");
}

TEST(HostModes, MarkSetupCodes) {
    SessionFixture f;
    f.s().markSetup(1);
    EXPECT_EQ(f.s().setupExchange().forms().PStore.caption, "Setup is Current");
    EXPECT_EQ(f.s().setupExchange().forms().PStore.colour, Colour::Silver);
    f.s().markSetup(7);
    EXPECT_EQ(f.s().setupExchange().forms().PStore.caption, "Setup is Current");
    f.s().markSetup(0);
    EXPECT_EQ(f.s().setupExchange().forms().PStore.caption, "Setup is Not Current");
    EXPECT_EQ(f.s().setupExchange().forms().PStore.colour, Colour::Yellow);
}

TEST(HostModes, ExitAsksAndCancelKeepsRunning) {
    SessionFixture f;
    auto line = f.addLoggerLine(1);
    f.s().linkPorts().loggerPortChange(1, 6);
    f.op.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(f.s().requestExit());
    EXPECT_TRUE(f.s().ports().isPortOpen(0));
    ASSERT_EQ(f.op.asked.back().caption, "Program Termination");
    EXPECT_EQ(f.op.asked.back().text, "EXIT Program?");
    EXPECT_TRUE(f.s().requestExit());
    EXPECT_FALSE(f.s().ports().isPortOpen(0));
    EXPECT_FALSE(line->open);
}

}  // namespace
}  // namespace cvh::test
