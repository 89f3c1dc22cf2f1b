// The setup exchange and sleep through the session, on a fake logger port: a setup record read
// from the port is applied once by the display-refresh tick, the logger port follows the logger's
// host-port setting without throwing away the packets behind the record, operator edits mark the
// setup not current, Send Setup writes the edited record, and the status, polled and sleep
// commands reach the port.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "link/data_packet.h"
#include "session/live_format.h"
#include "session/setup_exchange.h"
#include "session_fixture.h"
#include "support/setup_record.h"

namespace cvh::test {
namespace {

std::vector<std::uint8_t> dataPacket(int unit, int sequence, std::string_view text) {
    DataPacketFields fields;
    fields.format = 0x21;
    fields.timeUnit = 0x22;
    fields.unit = static_cast<std::uint8_t>(unit);
    fields.sequence = static_cast<std::uint8_t>(sequence);
    std::array<Bytes, kDataPortCount> segments{};
    segments[0] = Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    return *buildDataPacket(fields, segments);
}

// A status record: operation code, device type and serial-port mask; the rest zero but the
// firmware word (7.09, so no warning window).
std::vector<std::uint8_t> statusPacket(int operation, int deviceType, std::uint32_t clock) {
    std::vector<std::uint8_t> b(132, 0);
    MutableBytes m(b);
    b[0] = b[1] = 3;
    writeLe16(m, 4, static_cast<std::uint16_t>(operation));
    writeLe32(m, 8, clock);
    writeLe16(m, 16, 42);
    writeLe16(m, 18, static_cast<std::uint16_t>(deviceType));
    writeLe16(m, 20, 2);
    writeLe16(m, 22, 0x00FF);
    writeLe32(m, 124, 7u << 28 | 9u << 20);
    storeChecksum(m);
    return b;
}

// A hardware record naming the logger; everything else zero but a retained byte.
std::vector<std::uint8_t> hardwarePacket(int serialNumber = 0, int deviceType = 0) {
    std::vector<std::uint8_t> b(kHardwarePacketLength, 0);
    MutableBytes m(b);
    b[0] = b[1] = 7;
    writeLe16(m, 2, static_cast<std::uint16_t>(serialNumber));
    writeLe16(m, 4, static_cast<std::uint16_t>(deviceType));
    b[10] = 0x5A;
    storeChecksum(m);
    return b;
}

void push(FakeLine& line, const std::vector<std::uint8_t>& bytes) {
    line.incoming.insert(line.incoming.end(), bytes.begin(), bytes.end());
}

// Moored-logging host mode, logger port COM 1 open at "9600".
struct SetupFlow : SessionFixture {
    TempDir dir{"cvh_setup"};
    std::shared_ptr<FakeLine> line;
    SetupFlow() {
        line = addLoggerLine(1);
        EXPECT_FALSE(dir.path().empty());
        s().startUp(dir.path());
        s().modeMenuClick(MenuItem::MenuMoored);
        s().linkPorts().loggerPortChange(1, kPortSetup9600);
        line->written.clear();
    }
    // Reads until the line is empty, then runs one display refresh.
    void receiveAndRefresh() {
        for (int i = 0; i < 8; ++i)
            s().onTick10ms();
        s().displayRefreshTick();
    }
    std::uint32_t unitPackets(int unit) const {
        return session->link().unitPackets[static_cast<std::size_t>(unit)];
    }
};

TEST(SetupFlow, ReceivedSetupFillsThePagesOnceAndMarksItCurrent) {
    SetupFlow f;
    auto& s = f.s();
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    push(*f.line, mooredSetupRecord());
    s.onTick10ms();
    EXPECT_TRUE(s.receiveLoop().records().setupPacketPending);
    // Nothing reaches the pages before the display refresh.
    EXPECT_EQ(s.setupExchange().forms().portSetup.ComboMeter[1].index, -1);
    s.displayRefreshTick();

    EXPECT_FALSE(s.receiveLoop().records().setupPacketPending);
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Current");
    EXPECT_EQ(s.setupExchange().forms().PStore.colour, Colour::Silver);
    const auto& p = s.setupExchange().forms().portSetup;
    const auto& c = s.setupExchange().forms().loggerControl;
    EXPECT_EQ(p.ComboMeter[0].index, 1);
    EXPECT_EQ(p.CBPortSetup[0].index, kPortSetup19200);
    EXPECT_EQ(p.ComboMeter[2].index, 3);
    EXPECT_EQ(p.CBPortSetup[2].index, 7);  // "9600,7,E,1"
    EXPECT_EQ(p.CBHostPortSetup.index, kPortSetup9600);
    EXPECT_EQ(p.CBPump[3].index, 5);
    EXPECT_TRUE(p.SOPH[1].checked);
    EXPECT_TRUE(p.AOPH[0].checked);
    EXPECT_EQ(c.ModeCB.index, 1);
    EXPECT_EQ(c.duration(Duration::WarmUp).number, 2);
    EXPECT_EQ(c.duration(Duration::WarmUp).unit, kUnitHours);
    EXPECT_EQ(c.duration(Duration::Sample).number, 90);
    EXPECT_EQ(c.duration(Duration::SampleInterval).number, 15);
    EXPECT_EQ(c.duration(Duration::SampleInterval).unit, kUnitMinutes);
    EXPECT_TRUE(c.duration(Duration::SampleInterval).visible);
    EXPECT_TRUE(c.BTSleepVisible);
    EXPECT_EQ(c.LBLowVoltage.caption, "12.0 V");
    EXPECT_EQ(c.LBAnalogRate.caption, "4 Hz   250 ms");
    EXPECT_TRUE(c.CBAutoStart.checked);
    // The Data Status rows name the meters and start again from zero.
    EXPECT_EQ(s.dataStatus().PortRowTable[0].typeName.caption, "kb5");
    EXPECT_EQ(s.dataStatus().PortRowTable[1].typeName.caption, "GPS");
    EXPECT_EQ(s.dataStatus().PortRowTable[3].typeName.caption, "Off");
    EXPECT_EQ(s.dataStatus().PortRowTable[1].fileSize.caption, "0 K");
    EXPECT_EQ(s.dataStatus().AnalogRowTable[0].value.caption, "0.000");
    // The logger's mode matches the host's moored mode: captioned, shown, not red.
    EXPECT_TRUE(s.main().LoggerMode.visible);
    EXPECT_EQ(s.main().LoggerMode.caption, "Moored Logging       ");
    EXPECT_EQ(s.main().LoggerMode.colour, Colour::ButtonFace);
    EXPECT_EQ(s.loggerModeIndex(), LoggerMode::Moored);

    // An edit after the record was applied stays: the record is not applied a second time.
    SessionTestAccess::setup(s).portSetup.ComboMeter[2].index = 4;
    s.setupExchange().edited(SetupEdit::ValueChanged);
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    s.displayRefreshTick();
    EXPECT_EQ(s.setupExchange().forms().portSetup.ComboMeter[2].index, 4);
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
}

// Reopening the port drains it and empties the framer; at the setting already in use that would
// only lose the data packets right behind the setup record.
// The record names the logger as it arrives (a setup received before the next status record
// is captioned for that device); the page takes the record once, at the display refresh.
TEST(SetupFlow, AHardwareRecordNamesTheLoggerAtOnceAndFillsItsPageOnce) {
    SetupFlow f;
    auto& s = f.s();
    const HardwareSettings& hardware = s.factorySettings().hardware();
    push(*f.line, hardwarePacket(12, 1));
    s.onTick10ms();
    EXPECT_TRUE(s.receiveLoop().records().hardwarePacketPending);
    EXPECT_EQ(s.logger().deviceType, 1);
    EXPECT_EQ(s.logger().serialNumber, 12);
    EXPECT_EQ(hardware.view().form.deviceType, -1);
    s.displayRefreshTick();
    EXPECT_FALSE(s.receiveLoop().records().hardwarePacketPending);
    EXPECT_EQ(hardware.view().form.deviceType, 1);
    EXPECT_TRUE(hardware.view().current);
    // No new record: an edit made after it stays.
    s.factorySettings().hardware().setStatusLed(2);
    s.displayRefreshTick();
    EXPECT_FALSE(hardware.view().current);

    std::vector<std::uint8_t> setup = mooredSetupRecord();
    MutableBytes m(setup);
    writeLe16(m, 2, 4);  // "Direct" to the first port
    storeChecksum(m);
    push(*f.line, setup);
    f.receiveAndRefresh();
    EXPECT_EQ(s.main().LoggerMode.caption, "Direct To kb5");
    push(*f.line, hardwarePacket(12, 2));
    f.receiveAndRefresh();
    EXPECT_EQ(s.logger().deviceType, 2);
    EXPECT_TRUE(hardware.view().current);
}

TEST(SetupFlow, SameHostSettingKeepsThePortAndThePacketsBehindTheRecord) {
    SetupFlow f;
    auto& s = f.s();
    push(*f.line, mooredSetupRecord(9600));
    push(*f.line, dataPacket(1, 0, "first"));
    push(*f.line, dataPacket(1, 1, "second"));
    s.onTick10ms();  // reads everything, takes the setup record
    s.displayRefreshTick();
    EXPECT_EQ(f.line->opens, 1);
    EXPECT_EQ(f.line->modes.size(), 1u);
    EXPECT_EQ(s.portView().loggerSetupIndex, kPortSetup9600);
    s.onTick10ms();
    s.onTick10ms();
    EXPECT_EQ(f.unitPackets(1), 2u);
}

TEST(SetupFlow, DifferentHostSettingReopensThePortAtTheLoggersBaud) {
    SetupFlow f;
    auto& s = f.s();
    push(*f.line, mooredSetupRecord(19200));
    s.onTick10ms();
    s.displayRefreshTick();
    EXPECT_EQ(f.line->opens, 2);
    ASSERT_FALSE(f.line->modes.empty());
    EXPECT_EQ(f.line->modes.back(), "19200,N,8,1");
    EXPECT_EQ(s.portView().loggerSetupIndex, kPortSetup19200);
    EXPECT_EQ(s.portView().loggerPortIndex, 1);
    EXPECT_EQ(s.setupExchange().forms().portSetup.CBHostPortSetup.index, kPortSetup19200);
    EXPECT_EQ(s.ports().lineSetting(kLoggerSlot), kPortSetup19200);
    // The next setup at the new setting leaves the port alone.
    push(*f.line, mooredSetupRecord(19200));
    f.receiveAndRefresh();
    EXPECT_EQ(f.line->opens, 2);
}

TEST(SetupFlow, SendSetupWritesTheReceivedRecordWithTheEditApplied) {
    SetupFlow f;
    auto& s = f.s();
    const auto record = mooredSetupRecord();
    push(*f.line, record);
    f.receiveAndRefresh();
    s.sendSetupClick();
    EXPECT_EQ(f.line->written, record);  // nothing edited: the record goes back as it came
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Current");

    f.line->written.clear();
    SessionTestAccess::setup(s).portSetup.ComboMeter[2].index = 4;  // port 3: "BINARY"
    s.setupExchange().edited(SetupEdit::ValueChanged);
    s.sendSetupClick();
    EXPECT_EQ(f.line->written, withMeterType(record, 3, 4));
    // Sending does not make the pages current; only a record read back does.
    EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    EXPECT_TRUE(f.op.notices().empty());
}

TEST(SetupFlow, SendSetupBeforeAnySetupIsRefusedWithTheAbortNotice) {
    SetupFlow f;
    f.s().sendSetupClick();
    EXPECT_TRUE(f.line->written.empty());
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption, "*** Warning *** 'Send Setup' has been aborted.");
}

TEST(SetupFlow, EditHandlersMarkNotCurrentAndApplyTheirRules) {
    SetupFlow f;
    auto& s = f.s();
    push(*f.line, mooredSetupRecord());
    f.receiveAndRefresh();
    auto& c = SessionTestAccess::setup(s).loggerControl;
    auto& p = SessionTestAccess::setup(s).portSetup;

    // The spinner may lower the analog rate below the meters' floors; the next list edit
    // raises it again (KB5 on port 1: 2 Hz; RMX: 4 Hz, but only once its port is not "OFF").
    c.UDAnalogRate = 1;
    s.setupExchange().edited(SetupEdit::RateStepped);
    EXPECT_EQ(c.UDAnalogRate, 1);
    EXPECT_EQ(c.LBAnalogRate.caption, "1 Hz  1000 ms");
    p.ComboMeter[3].index = 2;  // port 4 RMX, at "OFF": no floor
    s.setupExchange().edited(SetupEdit::ValueChanged);
    EXPECT_EQ(c.UDAnalogRate, 2);  // port 1's KB5 is active
    p.CBPortSetup[3].index = kPortSetup9600;
    s.setupExchange().edited(SetupEdit::ValueChanged);
    EXPECT_EQ(c.UDAnalogRate, 4);

    c.UDLVCutOff = 105;
    s.setupExchange().edited(SetupEdit::LowVoltageStepped);
    EXPECT_EQ(c.LBLowVoltage.caption, "10.5 V");

    // Leaving the moored modes hides and clears the once-per-hour column; polled moored mode
    // shows the polled buttons.
    c.ModeCB.index = 0;
    s.setupExchange().edited(SetupEdit::LoggerModeChanged);
    EXPECT_FALSE(c.BTSleepVisible);
    EXPECT_FALSE(p.SOPH[1].checked);
    EXPECT_FALSE(p.SOPH[1].visible);
    c.ModeCB.index = loggerModeNumber(LoggerMode::PolledMoored);
    s.setupExchange().edited(SetupEdit::LoggerModeChanged);
    EXPECT_TRUE(c.BTSleepVisible);
    EXPECT_TRUE(c.ButtonVisible[0]);
    EXPECT_TRUE(c.ButtonVisible[3]);

    for (SetupEdit e :
         {SetupEdit::DelayStepped, SetupEdit::OncePerHourToggled, SetupEdit::TimeSourceChanged}) {
        s.markSetup(1);
        s.setupExchange().edited(e);
        EXPECT_EQ(s.setupExchange().forms().PStore.caption, "Setup is Not Current");
    }
}

TEST(SetupFlow, StatusRecordDecidesThePStoreReReadAndThePortOneRule) {
    SetupFlow f;
    auto& s = f.s();
    push(*f.line, mooredSetupRecord());
    push(*f.line, statusPacket(5, 2, static_cast<std::uint32_t>(f.clock.now)));
    f.receiveAndRefresh();
    EXPECT_EQ(s.logger().operationCode, OperationCode::Flush);
    EXPECT_FALSE(s.receiveLoop().records().statusPacketPending);
    f.line->written.clear();
    s.pStoreClick();  // sampling: refused
    EXPECT_TRUE(f.line->written.empty());
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption, "Unable to Complete Command");

    // Standby, on a kb5Plus: the re-read goes out, and port 1 is sent at 19200 as a KB5.
    push(*f.line, statusPacket(9, 1, static_cast<std::uint32_t>(f.clock.now)));
    f.receiveAndRefresh();
    EXPECT_EQ(s.logger().deviceType, 1);
    f.line->written.clear();
    s.pStoreClick();
    EXPECT_EQ(readCommand(f.line->written).code, 0xACAC);
    EXPECT_TRUE(readCommand(f.line->written).valid);

    f.line->written.clear();
    SessionTestAccess::setup(s).portSetup.ComboMeter[0].index = 6;   // "GPS"
    SessionTestAccess::setup(s).portSetup.CBPortSetup[0].index = 4;  // "4800"
    s.setupExchange().edited(SetupEdit::ValueChanged);
    s.sendSetupClick();
    ASSERT_EQ(f.line->written.size(), 192u);
    const Bytes sent(f.line->written);
    EXPECT_EQ(readLe16(sent, 72 + 2), 1);       // meter type of port 1: KB5
    EXPECT_EQ(readLe32(sent, 36 + 4), 19200u);  // its baud
    EXPECT_EQ(s.setupExchange().forms().portSetup.CBPortSetup[0].index, kPortSetup19200);
}

TEST(SetupFlow, CommandButtonsWriteTheirFramesAndTexts) {
    SetupFlow f;
    auto& s = f.s();
    s.setupExchange().getSetupClick();
    EXPECT_EQ(readCommand(f.line->written).code, 0xACAC);
    f.line->written.clear();
    s.setupExchange().beginSampleClick();
    EXPECT_EQ(readCommand(f.line->written).code, 0xA2A2);
    EXPECT_TRUE(readCommand(f.line->written).valid);
    f.line->written.clear();
    s.setupExchange().polledSleepClick();
    EXPECT_EQ(std::string(f.line->written.begin(), f.line->written.end()), "SLEEP");

    // Polled-Wake: the long wake text now, the short one when the countdown of MVPScroll ticks
    // has run out.
    f.line->written.clear();
    s.setupExchange().setWakeDelayTicks(3);
    s.setupExchange().polledWakeClick();
    EXPECT_EQ(std::string(f.line->written.begin(), f.line->written.end()), "      WAKE");
    EXPECT_EQ(wakeTestText(s.receiveLoop().wakeTest()), "Ready");
    for (int i = 0; i < 3; ++i) {
        f.clock.nowMilliseconds += 10;
        s.onTick10ms();
    }
    EXPECT_EQ(std::string(f.line->written.begin(), f.line->written.end()), "      WAKE WAKE");
    EXPECT_EQ(wakeTestText(s.receiveLoop().wakeTest()), "CTR = 3 MVPDelay = 20");
}

// The fixed clock keeps local time equal to UTC: 1'700'000'000 is 11/14/23 22:13:20.
TEST(SetupFlow, SleepWindowSendsTheWakeTimeOnlyWhenFarEnoughAhead) {
    SetupFlow f;
    auto& s = f.s();
    s.clockAndSleep().sleepClick();
    EXPECT_TRUE(s.clockAndSleep().sleepWindow().visible);
    SessionTestAccess::sleepWindow(s).METime = "22:13:40";  // 20 s ahead
    SessionTestAccess::sleepWindow(s).MEDate = "11/14/23";
    s.clockAndSleep().sleepButtonClick();
    EXPECT_TRUE(f.line->written.empty());
    EXPECT_TRUE(s.clockAndSleep().sleepWindow().visible);
    ASSERT_EQ(f.op.notices().size(), 1u);
    EXPECT_EQ(f.op.notices()[0].caption, "Sleep Error");
    EXPECT_EQ(f.op.asked[0].text, "Sleep Until 22:13:40 on 11/14/23 ?");

    // Cancel in the confirmation: nothing sent, the window stays.
    SessionTestAccess::sleepWindow(s).METime = "22:14:00";
    f.op.answers.push_back(Answer::Cancel);
    s.clockAndSleep().sleepButtonClick();
    EXPECT_TRUE(f.line->written.empty());
    EXPECT_TRUE(s.clockAndSleep().sleepWindow().visible);

    s.clockAndSleep().sleepButtonClick();
    const SentCommand c = readCommand(f.line->written);
    EXPECT_TRUE(c.valid);
    EXPECT_EQ(c.code, 0xA7A7);
    EXPECT_EQ(c.argumentA, 1'700'000'040u);
    EXPECT_EQ(c.argumentB, 0);
    EXPECT_FALSE(s.clockAndSleep().sleepWindow().visible);

    s.clockAndSleep().sleepClick();
    s.clockAndSleep().sleepCancelClick();
    EXPECT_FALSE(s.clockAndSleep().sleepWindow().visible);
}

TEST(SetupFlow, MooredTimeSourceMenuShowsTheSelector) {
    SetupFlow f;
    auto& s = f.s();
    EXPECT_FALSE(s.setupExchange().forms().loggerControl.TimeSourceCB.visible);
    s.mooredTimeUpdatesClick();
    EXPECT_TRUE(s.setupExchange().forms().loggerControl.TimeSourceCB.visible);
    EXPECT_TRUE(s.main().item(MenuItem::MenuMooredTimeUpdate).checked);
    s.mooredTimeUpdatesClick();
    EXPECT_FALSE(s.setupExchange().forms().loggerControl.TimeSourceCB.visible);
    EXPECT_FALSE(s.main().item(MenuItem::MenuMooredTimeUpdate).checked);
}

}  // namespace
}  // namespace cvh::test
