#include "session/pc_logger_setup.h"

#include <gtest/gtest.h>

#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

class PcLoggerSetupTest : public ::testing::Test {
protected:
    PcLoggerSetupTest() {
        for (int com = 1; com <= 8; ++com) {
            const std::string name = "com" + std::to_string(com);
            backend.add(name);
            ports.names().set(com, name);
        }
    }
    PcPortRow& row(int slot) { return setup.form.rows[static_cast<std::size_t>(slot - 1)]; }
    void choose(int slot, int function, int com, int line) {
        row(slot).PortTypeCB = function;
        row(slot).DeckPortCB = com;
        row(slot).DeckSetupCB = line;
        setup.slotRowChanged();
    }

    test::FakeSerialBackend backend;
    test::ScriptedOperator op;
    SerialPortTable ports{backend, op};
    PacketFramer framer;
    LinkStatistics stats;
    PortManager portManager{ports, framer, stats};
    DeckRouting routing;
    PcLoggerSetup setup{routing, ports, portManager};
};

TEST_F(PcLoggerSetupTest, DeckRateSnapsInTheDirectionOfTheClick) {
    setup.deckRateStepped(7);  // the first click snaps up
    EXPECT_EQ(setup.form.UDDeckRate, 8);
    setup.deckRateStepped(6);
    setup.deckRateStepped(7);
    EXPECT_EQ(setup.form.UDDeckRate, 8);
    EXPECT_EQ(setup.pcCycleMs(), 125);
    EXPECT_EQ(setup.form.LBDeckRate, "Deck Rate:  8 Hz");
    EXPECT_EQ(setup.form.LBDeckInterval, "Deck Interval:  125 ms");
    setup.deckRateStepped(7);
    EXPECT_EQ(setup.form.UDDeckRate, 6);
    EXPECT_EQ(setup.pcCycleMs(), 166);
    setup.deckRateStepped(16);
    setup.deckRateStepped(17);
    EXPECT_EQ(setup.form.UDDeckRate, 20);
    EXPECT_EQ(setup.pcCycleMs(), 50);
    setup.deckRateStepped(3);
    EXPECT_EQ(setup.pcCycleMs(), 333);
    EXPECT_EQ(snappedDeckRate(14, 16), 12);
    EXPECT_EQ(snappedDeckRate(14, 12), 16);
    EXPECT_EQ(snappedDeckRate(1, 2), 1);
}

TEST_F(PcLoggerSetupTest, RowsShowWhatTheirFunctionNeeds) {
    choose(1, kPcPortTypeMeterInput, 3, 0);
    EXPECT_TRUE(row(1).DeckPortVisible);
    EXPECT_FALSE(row(1).DeckTypeVisible);
    EXPECT_EQ(row(1).DeckPortColour, Colour::Window);
    EXPECT_EQ(row(1).DeckSetupColour, Colour::Red);  // "OFF" keeps the slot closed
    EXPECT_TRUE(setup.form.PCLoggerPanel);

    setup.sourceIdStepped(2, 3);
    setup.sourcePortStepped(2, 9);
    choose(2, kPcPortTypeLoggerOutput, 0, 6);
    EXPECT_TRUE(row(2).DeckTypeVisible);
    EXPECT_TRUE(row(2).OutPortVisible);
    EXPECT_EQ(row(2).LBDeckType, "Output Logger ID=3");
    EXPECT_EQ(row(2).PCOutPort, "Port=9");
    EXPECT_EQ(row(2).DeckPortColour, Colour::Red);
    EXPECT_TRUE(setup.form.PCInHdr);
    EXPECT_TRUE(setup.form.PCOutHdr);

    choose(2, kPcPortTypeInactive, 4, 6);
    EXPECT_EQ(row(2).DeckPortCB, 0);
    EXPECT_EQ(row(2).DeckSetupCB, 0);
    EXPECT_FALSE(row(2).DeckPortVisible);
    EXPECT_FALSE(row(2).OutPortVisible);
    EXPECT_FALSE(setup.form.PCOutHdr);
}

TEST_F(PcLoggerSetupTest, LoadOpensThePortsAndMakesThePageActive) {
    choose(1, kPcPortTypeMeterInput, 1, 11);
    choose(3, kPcPortTypeLoggerOutput, 2, 6);
    setup.sourceIdStepped(3, 1);
    setup.sourcePortStepped(3, 1);
    choose(5, kPcPortTypeMeterInput, 0, 6);  // no port: stays closed, function set all the same
    setup.loadPcSetup();

    EXPECT_FALSE(setup.form.PCLoggerPanel);
    EXPECT_EQ(ports.openOn(1), 1);
    EXPECT_EQ(backend.line("com1").modes.back(), "115200,N,8,1");
    EXPECT_EQ(ports.openOn(3), 2);
    EXPECT_FALSE(ports.isPortOpen(5));
    EXPECT_EQ(routing.pcFunction[1], kPcFunctionMeterInput);
    EXPECT_EQ(routing.pcFunction[3], kPcFunctionLoggerOutput);
    EXPECT_EQ(routing.pcSourceId[3], 1);
    EXPECT_EQ(routing.pcSourcePort[3], 1);
    EXPECT_EQ(routing.pcFunction[5], kPcFunctionMeterInput);
    EXPECT_EQ(setup.lastLoaded().lastComPort[3], 2);
    EXPECT_EQ(setup.lastLoaded().lastLineSetting[1], 11);

    // A second load reopens every slot from the page.
    choose(1, kPcPortTypeInactive, 0, 0);
    setup.loadPcSetup();
    EXPECT_FALSE(ports.isPortOpen(1));
    EXPECT_EQ(ports.openOn(3), 2);
    EXPECT_EQ(backend.line("com2").opens, 2);
}

TEST_F(PcLoggerSetupTest, RestoreShowsTheLastLoadWhileTheEditsBecomeActive) {
    choose(2, kPcPortTypeMeterInput, 4, 6);
    setup.loadPcSetup();
    choose(2, kPcPortTypeLoggerOutput, 5, 8);
    setup.sourceIdStepped(2, 4);
    setup.sourcePortStepped(2, 7);

    setup.restorePcSetup();
    EXPECT_TRUE(setup.form.PCLoggerPanel);
    EXPECT_EQ(row(2).PortTypeCB, kPcPortTypeMeterInput);
    EXPECT_EQ(row(2).DeckPortCB, 4);
    EXPECT_EQ(row(2).DeckSetupCB, 6);
    EXPECT_FALSE(row(2).DeckTypeVisible);
    EXPECT_EQ(routing.pcFunction[2], kPcFunctionLoggerOutput);
    EXPECT_EQ(routing.pcSourceId[2], 4);
    EXPECT_EQ(routing.pcSourcePort[2], 7);
    EXPECT_EQ(ports.openOn(2), 4);  // no port opened or closed

    setup.loadPcSetup();
    EXPECT_EQ(routing.pcFunction[2], kPcFunctionMeterInput);
    EXPECT_FALSE(setup.form.PCLoggerPanel);
}

TEST_F(PcLoggerSetupTest, ClearHidesTheListsAndLeavesPortsOpenUntilLoad) {
    choose(1, kPcPortTypeMeterInput, 1, 6);
    choose(8, kPcPortTypeLoggerOutput, 8, 6);
    setup.loadPcSetup();
    setup.clearSetup();
    for (const PcPortRow& r : setup.form.rows) {
        EXPECT_EQ(r.PortTypeCB, kPcPortTypeInactive);
        EXPECT_FALSE(r.DeckPortVisible);
        EXPECT_FALSE(r.DeckSetupVisible);
    }
    EXPECT_FALSE(setup.form.PCInHdr);
    EXPECT_TRUE(setup.form.PCLoggerPanel);
    EXPECT_TRUE(ports.isPortOpen(1));
    EXPECT_TRUE(ports.isPortOpen(8));
    setup.loadPcSetup();
    EXPECT_FALSE(ports.isPortOpen(1));
    EXPECT_FALSE(ports.isPortOpen(8));
    EXPECT_EQ(routing.pcFunction[8], kPcFunctionOff);
}

}  // namespace
}  // namespace cvh
