#include <gtest/gtest.h>

#include <vector>

#include "link/port_manager.h"
#include "session/logger_port_view.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::FakeLine;

class PortManagerTest : public ::testing::Test {
protected:
    PortManagerTest() {
        table.names().set(3, "fake3");
        table.names().set(5, "fake5");
        line3 = backend.add("fake3");
        line5 = backend.add("fake5");
    }

    // The link monitor's second: the timers run down while nothing arrives, then the watchdog.
    void quietSecond() {
        --stats.noDataTimer;
        --stats.badDataTimer;
        manager.linkWatchdog();
    }
    // A second in which bytes arrived but no packet was recognised.
    void garbageSecond() {
        stats.noDataTimer = 2;
        --stats.badDataTimer;
        manager.linkWatchdog();
    }
    void feedFramer(std::size_t n) {
        std::vector<std::uint8_t> bytes(n, 0x55);
        framer.appendBytes(bytes.data(), bytes.size());
    }

    test::FakeSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable table{backend, op};
    PacketFramer framer;
    LinkStatistics stats;
    PortManager manager{table, framer, stats};
    LoggerPortState& state = manager.state();
    // What the logger-port controls show now.
    LoggerPortView view() const { return presentLoggerPort(manager.state()); }
    std::shared_ptr<FakeLine> line3;
    std::shared_ptr<FakeLine> line5;
};

TEST(ComBoxItems, NumberTheComPortsAfterNoPortSelected) {
    EXPECT_EQ(comBoxItemText(0), "No Port Selected");
    EXPECT_EQ(comBoxItemText(1), "COM 1");
    EXPECT_EQ(comBoxItemText(255), "COM 255");
    EXPECT_EQ(comBoxItemText(256), "");
    EXPECT_EQ(comBoxItemText(-1), "");
}

TEST_F(PortManagerTest, ReopenOpensOnlyWithAChoiceAndAComNumberInRange) {
    EXPECT_EQ(manager.reopenPort(0, 3, 7), 7);
    EXPECT_EQ(table.openOn(0), 3);
    EXPECT_EQ(line3->modes.back(), "9600,E,7,1");

    // No port: closes and stays closed, the line setting still follows the choice.
    EXPECT_EQ(manager.reopenPort(0, 0, 6), 0);
    EXPECT_FALSE(table.isPortOpen(0));
    EXPECT_FALSE(line3->open);
    EXPECT_EQ(table.lineSetting(0), 6);

    // "OFF": closes and leaves the line setting as it was.
    manager.reopenPort(0, 3, 9);
    EXPECT_EQ(manager.reopenPort(0, 3, 0), 0);
    EXPECT_FALSE(table.isPortOpen(0));
    EXPECT_EQ(table.lineSetting(0), 9);

    EXPECT_EQ(manager.reopenPort(0, 257, 6), 0);
    EXPECT_EQ(manager.reopenPort(0, 3, -1), 0);  // an unset box
    EXPECT_EQ(manager.reopenPort(0, 3, 12), 0);
    EXPECT_FALSE(table.isPortOpen(0));
    EXPECT_EQ(line3->opens, 2);
    EXPECT_TRUE(op.asked.empty());

    // A port that will not open is reported once and counts as not opened.
    EXPECT_EQ(manager.reopenPort(2, 200, 6), 0);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Could Not Open COM200");
}

TEST_F(PortManagerTest, PortChangeDrainsPortAndFramerThenReopensFromTheBoxes) {
    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 11;
    manager.onLoggerPortChange();
    ASSERT_EQ(table.openOn(0), 3);
    EXPECT_EQ(line3->modes.back(), "115200,N,8,1");

    // Bytes of the old line setting: 5000 in the port, some half a packet in the framer.
    line3->incoming.assign(5000, 0xAA);
    feedFramer(100);
    stats.noDataTimer = -1;
    stats.badDataTimer = -4;
    state.loggerSetupIndex = 5;
    manager.onLoggerPortChange();
    EXPECT_EQ(framer.size(), 0u);
    EXPECT_EQ(line3->incoming.size(), 5000u - 4095u);
    EXPECT_EQ(stats.noDataTimer, 2);
    EXPECT_EQ(stats.badDataTimer, 3);
    EXPECT_EQ(line3->modes.back(), "4800,E,7,1");
    EXPECT_EQ(line3->opens, 2);

    state.loggerPortIndex = 5;
    manager.onLoggerPortChange();
    EXPECT_EQ(table.openOn(0), 5);
    EXPECT_FALSE(line3->open);
}

TEST_F(PortManagerTest, DrainOnAClosedPortStillEmptiesTheFramer) {
    feedFramer(40);
    manager.drainLoggerPort();
    EXPECT_EQ(framer.size(), 0u);
}

TEST_F(PortManagerTest, CloseChosenPortClearsTheBoxAndLeavesTheSlotClosed) {
    int deckPortBox = 5;
    const int deckSetupBox = 8;
    manager.reopenPort(4, deckPortBox, deckSetupBox);
    ASSERT_TRUE(table.isPortOpen(4));
    manager.closeChosenPort(4, deckPortBox, deckSetupBox);
    EXPECT_EQ(deckPortBox, 0);
    EXPECT_FALSE(table.isPortOpen(4));
    EXPECT_EQ(table.lineSetting(4), 8);

    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 6;
    manager.onLoggerPortChange();
    manager.closeChosenPort(0, state.loggerPortIndex, state.loggerSetupIndex);
    EXPECT_EQ(view().loggerPortIndex, 0);
    EXPECT_FALSE(table.isPortOpen(0));
}

TEST_F(PortManagerTest, SilentLinkFlagsTheChosenPortButChangesNothing) {
    // Nothing chosen: the timers reload, nothing turns red.
    stats.noDataTimer = -1;
    stats.badDataTimer = -1;
    manager.linkWatchdog();
    EXPECT_EQ(stats.noDataTimer, 2);
    EXPECT_EQ(stats.badDataTimer, 3);
    EXPECT_FALSE(view().loggerPortGroupVisible);
    EXPECT_EQ(view().pLoggerPortColour, Colour::ButtonFace);

    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 6;
    state.autoBaud = true;
    manager.onLoggerPortChange();
    const int opens = line3->opens;
    stats.noDataTimer = -1;
    stats.badDataTimer = -1;  // the bad-data step must wait for another second
    manager.linkWatchdog();
    EXPECT_TRUE(view().loggerPortGroupVisible);
    EXPECT_EQ(view().showLoggerPortSetupCaption, "Hide Logger Port Setup");
    EXPECT_TRUE(state.setupShownChanged);
    EXPECT_EQ(view().loggerPortColour, Colour::Red);
    EXPECT_EQ(view().pLoggerPortColour, Colour::Red);
    EXPECT_EQ(view().loggerSetupColour, Colour::Window);
    EXPECT_EQ(view().loggerSetupIndex, 6);
    EXPECT_EQ(line3->opens, opens);
}

TEST_F(PortManagerTest, BadDataWithoutAutoBaudOnlyFlagsTheLineSetting) {
    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 6;
    manager.onLoggerPortChange();
    const int opens = line3->opens;
    for (int second = 0; second < 3; ++second)
        garbageSecond();
    EXPECT_EQ(view().loggerSetupColour, Colour::Window);
    garbageSecond();  // 3 -> -1
    EXPECT_EQ(view().loggerSetupColour, Colour::Red);
    EXPECT_EQ(view().pLoggerPortColour, Colour::Red);
    EXPECT_EQ(view().loggerPortColour, Colour::Window);
    EXPECT_TRUE(view().loggerPortGroupVisible);
    EXPECT_EQ(stats.badDataTimer, 3);
    EXPECT_EQ(view().loggerSetupIndex, 6);
    EXPECT_EQ(line3->opens, opens);
}

TEST_F(PortManagerTest, AutoBaudStepsDownFrom57600AndWrapsFrom600To115200) {
    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 6;
    manager.onLoggerPortChange();
    const std::size_t modesBefore = line3->modes.size();

    manager.toggleAutoBaud();
    EXPECT_TRUE(view().autoBaudChecked);
    EXPECT_EQ(view().loggerSetupIndex, 11);  // shown, not yet tried
    EXPECT_EQ(stats.badDataTimer, 5);
    EXPECT_TRUE(view().loggerPortGroupVisible);
    EXPECT_EQ(line3->modes.size(), modesBefore);

    std::vector<int> tried;
    std::vector<int> secondsPerStep;
    int seconds = 0;
    while (tried.size() < 12) {
        line3->incoming.assign(10, 0x11);  // bytes at the wrong speed
        feedFramer(20);
        garbageSecond();
        ++seconds;
        if (line3->modes.size() > modesBefore + tried.size()) {
            tried.push_back(view().loggerSetupIndex);
            secondsPerStep.push_back(seconds);
            seconds = 0;
            EXPECT_EQ(table.openOn(0), 3);
            EXPECT_EQ(line3->modes.back(), lineSettingMode(view().loggerSetupIndex));
            EXPECT_EQ(framer.size(), 0u);
            EXPECT_TRUE(line3->incoming.empty());
            EXPECT_EQ(stats.badDataTimer, 5);
            EXPECT_EQ(view().loggerSetupColour, Colour::Red);
        }
    }
    EXPECT_EQ(tried, (std::vector<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 11, 10}));
    EXPECT_EQ(secondsPerStep, std::vector<int>(12, 6));
}

TEST_F(PortManagerTest, AutoBaudFromOffOrAnUnknownChoiceGoesTo115200) {
    state.loggerPortIndex = 3;
    state.autoBaud = true;
    for (int start : {0, 1, 12}) {
        state.loggerSetupIndex = start;
        stats.badDataTimer = 0;
        garbageSecond();
        EXPECT_EQ(view().loggerSetupIndex, 11) << start;
        EXPECT_EQ(line3->modes.back(), "115200,N,8,1");
    }
}

TEST_F(PortManagerTest, ARecognisedPacketEndsAutoBaudAndRestoresTheColours) {
    state.loggerPortIndex = 3;
    state.loggerSetupIndex = 9;
    manager.onLoggerPortChange();
    const int opens = line3->opens;
    manager.toggleAutoBaud();
    stats.noDataTimer = -1;
    manager.linkWatchdog();
    ASSERT_EQ(view().loggerPortColour, Colour::Red);

    manager.onPacketRecognised();
    EXPECT_FALSE(view().autoBaudChecked);
    EXPECT_FALSE(manager.autoBaud());
    EXPECT_EQ(view().loggerPortColour, Colour::Window);
    EXPECT_EQ(view().loggerSetupColour, Colour::Window);
    EXPECT_EQ(view().pLoggerPortColour, Colour::ButtonFace);
    EXPECT_EQ(stats.noDataTimer, 2);
    EXPECT_EQ(stats.badDataTimer, 3);
    // The port is left as it was: healthy means the present setting works.
    EXPECT_EQ(line3->opens, opens);
    EXPECT_EQ(table.lineSetting(0), 9);
    EXPECT_TRUE(view().loggerPortGroupVisible);
}

TEST_F(PortManagerTest, TogglesFlipTheirMenuItems) {
    manager.toggleAutoBaud();
    stats.badDataTimer = 2;
    state.loggerSetupIndex = 4;
    manager.toggleAutoBaud();
    EXPECT_FALSE(view().autoBaudChecked);
    EXPECT_EQ(stats.badDataTimer, 2);
    EXPECT_EQ(view().loggerSetupIndex, 4);

    state.setupShownChanged = false;
    manager.toggleLoggerPortSetup();
    EXPECT_FALSE(view().loggerPortGroupVisible);
    EXPECT_EQ(view().showLoggerPortSetupCaption, "Show Logger Port Setup");
    EXPECT_TRUE(state.setupShownChanged);
    manager.toggleLoggerPortSetup();
    EXPECT_TRUE(view().loggerPortGroupVisible);
    EXPECT_EQ(view().showLoggerPortSetupCaption, "Hide Logger Port Setup");
}

}  // namespace
}  // namespace cvh
