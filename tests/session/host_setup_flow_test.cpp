// The host setup file through the session: what one session stores, a fresh session restores
// control by control; "last.cvh" at start-up and exit; the File menu items.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "session/host_setup_flow.h"
#include "session/session_fixture.h"
#include "session/setup_exchange.h"
#include "support/host_setup_values.h"

namespace cvh::test {
namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Devices behind the COM numbers the tests choose, so ports open without a notice.
void addLines(SessionFixture& f) {
    for (int com : {3, 5, 6})
        f.addLoggerLine(com);
}

// Sets every control the file carries to something other than its default.
void setNonDefaults(HostSession& s) {
    s.modeMenuClick(MenuItem::MenuAdvanced);  // mode 5: the setup boxes are shown
    s.linkPorts().loggerPortChange(3, 8);
    SessionTestAccess::setup(s).portSetup.CBHostPortSetup.index = 9;
    SessionTestAccess::hostControls(s).geometry = {2, 700, 1100};

    SessionTestAccess::main(s).item(MenuItem::Menukb5PassThru).visible = true;
    SessionTestAccess::main(s).item(MenuItem::MenuAnnotateFile).visible = false;
    SessionTestAccess::main(s).item(MenuItem::MenuUpdateTimeNow).visible = false;
    SessionTestAccess::main(s).item(MenuItem::MenuChangeLoggerID).visible = false;
    SessionTestAccess::timeSync(s).MenuAutoTimeUpdate = false;
    SessionTestAccess::main(s).item(MenuItem::MenuMooredTimeUpdate).visible = true;
    SessionTestAccess::timeSync(s).MenuMooredTimeUpdate = true;
    auto& lc = SessionTestAccess::setup(s).loggerControl;
    lc.TimeSourceCB = {2, true};
    lc.CBAutoStart.checked = true;
    SessionTestAccess::main(s).item(MenuItem::MenuLoggerPortSetup).visible = false;

    SessionTestAccess::hostControls(s).ExtractFilesRG = 1;
    s.linkPorts().rawPortChange(1, 4, 3);

    auto& pc = s.pcLogger();
    pc.deckRateStepped(16);
    pc.form.CBRecordPCTime = true;
    for (auto& row : pc.form.rows)
        row.PortTypeCB = kPcPortTypeInactive;
    pc.form.rows[0] = PcPortRow{};
    pc.form.rows[0].PortTypeCB = kPcPortTypeMeterInput;
    pc.form.rows[0].DeckPortCB = 5;
    pc.form.rows[0].DeckSetupCB = 8;
    pc.form.rows[1].PortTypeCB = kPcPortTypeLoggerOutput;
    pc.form.rows[1].DeckPortCB = 6;
    pc.form.rows[1].DeckSetupCB = 11;
    pc.sourceIdStepped(2, 3);
    pc.sourcePortStepped(2, 7);
    pc.sourceIdStepped(5, 4);  // inactive rows keep their spinners too
    pc.sourcePortStepped(8, 9);
    pc.slotRowChanged();

    // Mixed: each replay control keeps its own visibility.
    SessionTestAccess::replayControls(s) = {true, false, true, false, false, true};
    s.recorder().setReplaySpeed(7);

    lc.ModeCB = {12, true};
    lc.FileCB = {1, false};
    lc.OutputCB = {5, true};
    auto& ps = SessionTestAccess::setup(s).portSetup;
    for (int k = 0; k < 8; ++k) {
        ps.ComboMeter[k].index = (k + 2) % kMeterTypeCount;
        ps.CBPortSetup[k].index = (k + 3) % kPortSetupCount;
        ps.SOPH[k].checked = k % 2 == 0;
    }
    for (int k = 0; k < 7; ++k) {
        ps.CBAnalog[k].index = (k + 1) % analogSettingCount();
        ps.AOPH[k].checked = k % 3 == 0;
    }
    for (int k = 0; k < 4; ++k) {
        ps.CBPump[k].index = (k + 1) % pumpSettingCount(k + 1);
        ps.POPH[k].checked = k != 1;
    }
    lc.UDAnalogRate = 7;
    lc.UDLVCutOff = 101;
    SessionTestAccess::hostControls(s).DandTCB = true;
    for (int d = 0; d < kDurationCount; ++d) {
        lc.durations[d].number = kDurationRanges[d].min + d + 1;
        lc.durations[d].unit = (d + 1) % kDurationUnitCount;
    }
}

TEST(HostSetupFlow, StoredSessionRestoresEveryControlInAFreshOne) {
    TempDir dir{"cvh_hsf"};
    SessionFixture a;
    addLines(a);
    a.s().startUp(dir.str());
    setNonDefaults(a.s());
    const HostSetup stored = captureHostSetup(a.s());
    ASSERT_NE(stored, HostSetup{});
    a.op.answers.push_back(Answer::Ok);
    ASSERT_TRUE(a.s().requestExit());
    ASSERT_TRUE(fs::exists(dir.path() / "last.cvh"));

    SessionFixture b;
    addLines(b);
    b.s().startUp(dir.str());
    EXPECT_TRUE(b.op.notices().empty());
    // Every value the file names reads back as it was stored...
    EXPECT_EQ(captureHostSetup(b.s()), stored);
    // ...and the controls act on it: mode, logger port, PC ports, displays, labels.
    HostSession& s = b.s();
    EXPECT_EQ(s.activeHostMode(), HostMode::Advanced);
    EXPECT_EQ(s.main().HostMode.caption, "Advanced User");
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    EXPECT_TRUE(s.ports().isPortOpen(0));
    EXPECT_EQ(s.portView().loggerPortIndex, 3);
    EXPECT_EQ(s.portView().loggerSetupIndex, 8);
    EXPECT_TRUE(s.ports().isPortOpen(1));
    EXPECT_TRUE(s.ports().isPortOpen(2));
    EXPECT_FALSE(s.ports().isPortOpen(3));
    EXPECT_EQ(s.deckRouting().pcFunction[1], kPcFunctionMeterInput);
    EXPECT_EQ(s.deckRouting().pcFunction[2], kPcFunctionLoggerOutput);
    EXPECT_EQ(s.deckRouting().pcSourceId[2], 3);
    EXPECT_EQ(s.deckRouting().pcSourcePort[2], 7);
    EXPECT_EQ(s.pcLogger().lastLoaded().lastComPort[1], 5);
    EXPECT_FALSE(s.pcLogger().form.PCLoggerPanel);
    EXPECT_EQ(s.pcLogger().pcCycleMs(), 62);
    EXPECT_EQ(s.pcLogger().form.LBDeckInterval, "Deck Interval:   62 ms");
    EXPECT_EQ(s.pcLogger().form.rows[1].LBDeckType, "Output Logger ID=3");
    EXPECT_EQ(s.pcLogger().form.rows[1].PCOutPort, "Port=7");
    EXPECT_TRUE(s.pcLogger().form.rows[1].DeckTypeVisible);
    EXPECT_EQ(s.receiveLoop().rawDisplay.source, 1);
    EXPECT_EQ(s.receiveLoop().rawDisplay.port, 4);
    EXPECT_EQ(s.receiveLoop().rawDisplay.unit, 3);
    EXPECT_EQ(s.linkPorts().realTime().RawMuxIDLB.caption, "Logger ID:    3");
    EXPECT_FALSE(s.main().item(MenuItem::MenuAutoTimeUpdate).checked);
    EXPECT_TRUE(s.main().item(MenuItem::MenuMooredTimeUpdate).checked);
    EXPECT_TRUE(
        s.setupExchange().forms().loggerControl.BTSleepVisible);  // mode 5: the moored layout
    EXPECT_EQ(s.setupExchange().forms().loggerControl.LBLowVoltage.caption, lowVoltageText(101));
    EXPECT_TRUE(s.hostSetupStore().takeLoadedGeometry());
}

TEST(HostSetupFlow, EveryControlHasAPlaceOfItsOwnInTheLayout) {
    std::set<std::pair<int, int>> taken{{9, 2}};  // the file's one constant
    const auto controls = hostSetupControls();
    EXPECT_EQ(controls.size(), 161u);
    for (const std::string& control : controls) {
        const auto place = hostSetupPlace(control);
        ASSERT_TRUE(place) << control;
        EXPECT_LT(place->field, kHostSetupFieldCounts[place->record]) << control;
        EXPECT_TRUE(taken.insert({place->record, place->field}).second) << control;
    }
    for (const char* unknown : {"DeckPort0CB", "DeckPort9CB", "DeckPortCB", "SOPH12", "Nothing"})
        EXPECT_FALSE(hostSetupPlace(unknown)) << unknown;
}

TEST(HostSetupFlow, StartUpTakesTheModeFromLastCvh) {
    // A stored mode outside 1..8 is no mode.
    for (const auto& [stored, mode] :
         {std::pair{4, HostMode::RealTimeOutput}, {0, HostMode::None}, {9, HostMode::None}}) {
        TempDir dir{"cvh_hsf"};
        HostSetup file;
        setControl(file, "ActiveHostMode", stored);
        ASSERT_EQ(storeHostSetup(dir.path() / "last.cvh", file), HostSetupStoreResult::Stored);
        SessionFixture f;
        f.s().startUp(dir.str());
        EXPECT_EQ(f.s().activeHostMode(), mode) << stored;
        EXPECT_TRUE(f.op.asked.empty());
        if (mode == HostMode::RealTimeOutput) {
            EXPECT_EQ(f.s().main().HostMode.caption, "Real Time Data");
            EXPECT_TRUE(f.s().main().page(Page::RealTime));
            EXPECT_TRUE(f.s().main().page(Page::PCLogger));
        }
    }
}

TEST(HostSetupFlow, StartUpWithoutOrWithABadFileHasNoMode) {
    TempDir dir{"cvh_hsf"};
    SessionFixture missing;
    missing.s().startUp(dir.str());
    EXPECT_EQ(missing.s().activeHostMode(), HostMode::None);
    EXPECT_EQ(missing.s().main().HostMode.caption, "No Mode Selected");
    EXPECT_TRUE(missing.op.asked.empty());

    HostSetup file;
    setControl(file, "ActiveHostMode", 2);
    std::string text = formatHostSetup(file);
    text.resize(text.find("\n20 "));  // records 20..34 are missing
    std::ofstream(dir.path() / "last.cvh", std::ios::binary) << text;
    SessionFixture bad;
    bad.s().startUp(dir.str());
    EXPECT_EQ(bad.s().activeHostMode(), HostMode::None);
    // The box waits until the console delivers notices from its running timers.
    EXPECT_TRUE(bad.op.notices().empty());
    bad.s().deliverDeferredNotice();
    ASSERT_EQ(bad.op.notices().size(), 1u);
    // The first missing record reads as an empty line.
    EXPECT_EQ(bad.op.notices()[0].caption,
              "Invalid Record in *.CVH File - The CVH File was NOT Loaded E1");
    EXPECT_EQ(bad.op.notices()[0].text, "");
}

TEST(HostSetupFlow, ExitStoresOnlyWhenConfirmed) {
    TempDir dir{"cvh_hsf"};
    SessionFixture f;
    f.s().startUp(dir.str());
    f.s().modeMenuClick(MenuItem::MenuMoored);
    f.op.answers.push_back(Answer::Cancel);
    EXPECT_FALSE(f.s().requestExit());
    EXPECT_FALSE(fs::exists(dir.path() / "last.cvh"));
    f.op.answers.push_back(Answer::Ok);
    EXPECT_TRUE(f.s().requestExit());
    const std::string text = readText(dir.path() / "last.cvh");
    EXPECT_EQ(text.rfind("CV Host Version=7.09e\n", 0), 0u);
    EXPECT_NE(text.find("\n2 1 2\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.path() / "last.cvh.tmp"));
}

TEST(HostSetupFlow, MenuOpenKeepsTheChosenLoggerPortAndSaveWritesTheChosenFile) {
    TempDir dir{"cvh_hsf"};
    SessionFixture f;
    addLines(f);
    f.addLoggerLine(7);
    f.s().startUp(dir.str());
    HostSetup file;
    setControl(file, "ActiveHostMode", 3);
    setControl(file, "LoggerPortCB", 7);
    setControl(file, "LoggerSetupCB", 11);
    setControl(file, "CBHostPortSetup", 10);
    const fs::path other = dir.path() / "other.cvh";
    ASSERT_EQ(storeHostSetup(other, file), HostSetupStoreResult::Stored);

    // A logger port chosen by the operator stays.
    f.s().linkPorts().loggerPortChange(3, 6);
    f.op.files.push_back(other.string());
    f.s().hostSetupStore().loadFileClick();
    EXPECT_EQ(f.op.asked.back().caption, "Open CV Host Program Setup");
    EXPECT_EQ(f.s().activeHostMode(), HostMode::Profile);
    EXPECT_EQ(f.s().portView().loggerPortIndex, 3);
    EXPECT_EQ(f.s().portView().loggerSetupIndex, 6);
    EXPECT_EQ(f.s().setupExchange().forms().portSetup.CBHostPortSetup.index, 10);
    EXPECT_TRUE(f.s().ports().isPortOpen(0));

    // With no port chosen the file's port is taken and opened.
    f.s().linkPorts().loggerPortChange(0, 6);
    f.op.files.push_back(other.string());
    f.s().hostSetupStore().loadFileClick();
    EXPECT_EQ(f.s().portView().loggerPortIndex, 7);
    EXPECT_EQ(f.s().portView().loggerSetupIndex, 11);
    EXPECT_TRUE(f.s().ports().isPortOpen(0));

    // Cancelled dialogs change nothing.
    f.s().hostSetupStore().loadFileClick();
    f.s().hostSetupStore().storeFileClick();
    EXPECT_EQ(f.s().activeHostMode(), HostMode::Profile);

    const fs::path saved = dir.path() / "saved.cvh";
    f.op.files.push_back(saved.string());
    f.s().hostSetupStore().storeFileClick();
    EXPECT_EQ(f.op.asked.back().caption, "Save CV Host Program Setup");
    ScriptedOperator quiet;
    const HostSetupLoad back = loadHostSetup(saved, quiet);
    ASSERT_TRUE(back.loaded());
    EXPECT_EQ(controlValue(*back.setup, "ActiveHostMode"), 3);
    EXPECT_EQ(controlValue(*back.setup, "LoggerPortCB"), 7);
    EXPECT_TRUE(quiet.asked.empty());

    // A file that cannot be written is told with its path.
    const fs::path nowhere = dir.path() / "no" / "such" / "dir.cvh";
    f.op.files.push_back(nowhere.string());
    f.s().hostSetupStore().storeFileClick();
    ASSERT_FALSE(f.op.notices().empty());
    EXPECT_EQ(f.op.notices().back().caption, "Save CV Host Program Setup");
    EXPECT_NE(f.op.notices().back().text.find(nowhere.string()), std::string::npos);
}

TEST(HostSetupFlow, ValuesNoControlCanShowAreBroughtIntoRange) {
    TempDir dir{"cvh_hsf"};
    HostSetup file;
    const std::pair<const char*, int> stored[] = {
        {"ActiveHostMode", 5}, {"LoggerPortCB", 999}, {"LoggerSetupCB", -7}, {"RawSourceCB", 40},
        {"RawMuxIDUD", 0},     {"RawPortCB", -3},     {"UDDeckRate", 300},   {"DeckPort1CB", 900},
        {"DeckPort2CB", -5},   {"DeckSetup1CB", 99},  {"DeckSetup2CB", -1},  {"PortType2CB", 7},
        {"PortType3CB", -1},   {"UDDeckType1", 0},    {"UDDeckType2", 9},    {"UDOutPort1", -1},
        {"UDOutPort2", 10},    {"ComboMeter1", 500},  {"ModeCB.Final", 13},  {"Duration1Combo", 3},
        {"UDAnalogRate", 1000}};
    for (const auto& [control, value] : stored)
        setControl(file, control, value);
    ASSERT_EQ(storeHostSetup(dir.path() / "last.cvh", file), HostSetupStoreResult::Stored);

    SessionFixture f;
    f.s().startUp(dir.str());
    HostSession& s = f.s();
    EXPECT_EQ(s.activeHostMode(), HostMode::Advanced);
    EXPECT_EQ(s.portView().loggerPortIndex, 0);
    EXPECT_EQ(s.portView().loggerSetupIndex, 0);
    EXPECT_EQ(s.linkPorts().realTime().RawSourceCB, 0);
    EXPECT_EQ(s.linkPorts().realTime().RawMuxIDUD, 1);
    EXPECT_EQ(s.linkPorts().realTime().RawPortCB, 0);
    EXPECT_EQ(s.pcLogger().form.UDDeckRate, 20);
    EXPECT_EQ(s.pcLogger().form.rows[0].DeckPortCB, 0);
    EXPECT_EQ(s.pcLogger().form.rows[0].DeckSetupCB, 0);
    EXPECT_EQ(s.pcLogger().form.rows[1].PortTypeCB, 0);
    EXPECT_EQ(s.pcLogger().form.rows[1].DeckSetupCB, 0);
    EXPECT_EQ(s.pcLogger().form.rows[2].PortTypeCB, 0);
    EXPECT_EQ(s.pcLogger().form.rows[0].UDDeckType, 1);
    EXPECT_EQ(s.pcLogger().form.rows[1].UDDeckType, 4);
    EXPECT_EQ(s.pcLogger().form.rows[0].UDOutPort, 1);
    EXPECT_EQ(s.pcLogger().form.rows[1].UDOutPort, 9);
    EXPECT_EQ(s.setupExchange().forms().portSetup.ComboMeter[0].index, -1);
    EXPECT_EQ(s.setupExchange().forms().loggerControl.ModeCB.index, -1);
    EXPECT_EQ(s.setupExchange().forms().loggerControl.durations[0].unit, -1);
    EXPECT_EQ(s.setupExchange().forms().loggerControl.UDAnalogRate, kAnalogRateRange.max);
    // Ticks run on with it.
    for (int i = 0; i < 150; ++i)
        s.onTick10ms();
    s.onTick1000ms();
    s.displayRefreshTick();
}

TEST(HostSetupFlow, ABadFileOpenedFromTheMenuChangesNothing) {
    TempDir dir{"cvh_hsf"};
    SessionFixture f;
    addLines(f);
    f.s().startUp(dir.str());
    f.s().modeMenuClick(MenuItem::MenuMoored);
    f.s().linkPorts().loggerPortChange(3, 6);
    f.s().pcLogger().deckRateStepped(4);
    HostSession& s = f.s();
    const HostSetup before = captureHostSetup(s);

    // Every record up to 11 good and different from the session; record 12 has 21 fields.
    HostSetup file;
    setControl(file, "ActiveHostMode", 5);
    setControl(file, "LoggerPortCB", 5);
    setControl(file, "UDDeckRate", 16);
    setControl(file, "PortType1CB", 1);
    std::string text = formatHostSetup(file);
    const auto at12 = text.find("\n12 ") + 1;
    text.replace(at12, text.find('\n', at12) - at12,
                 "12 21 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0");
    const fs::path bad = dir.path() / "bad.cvh";
    std::ofstream(bad, std::ios::binary) << text;

    f.op.files.push_back(bad.string());
    s.hostSetupStore().loadFileClick();
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption, "Invalid Record in *.CVH, j 1 count 15 lcount 21");
    EXPECT_EQ(s.activeHostMode(), HostMode::Moored);
    EXPECT_EQ(s.portView().loggerPortIndex, 3);
    EXPECT_EQ(captureHostSetup(s), before);
    EXPECT_FALSE(loadHostSetupInto(s, bad, true));
}

}  // namespace
}  // namespace cvh::test
