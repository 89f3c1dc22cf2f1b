#include <gtest/gtest.h>

#include <random>

#include "session/setup_exchange.h"
#include "support/scripted_operator.h"

namespace cvh {
namespace {

using test::ScriptedOperator;

// The console state that the setup exchange touches besides the two pages.
struct Console {
    SetupForms forms;
    LabelState HostMode{"Moored Logging"};
    LabelState LoggerMode{"", false};
    cvh::LoggerMode LoggerModeIndex = cvh::LoggerMode::None;
    ModeLabels labels() { return {HostMode, LoggerMode, LoggerModeIndex}; }
};

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// A record the host can show exactly: every value within its list or range, and consistent
// with the corrections Send Setup makes (rate floors and cap, one cut-off, time source 0).
SetupSnapshot randomReceivedSetup(std::mt19937& rng, bool includeRetained = true) {
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    LoggerSetup s;
    s.mode = static_cast<std::uint16_t>(pick(0, 12));
    for (int d = 0; d < kDurationCount; ++d) {
        const int unit = pick(0, 2);
        const auto& range = kDurationRanges[at(d)];
        durationField(s, static_cast<Duration>(d)) =
            static_cast<std::uint32_t>(pick(range.min, range.max)) * unitMultiplier(unit);
    }
    s.baud[0] = encodePortSetup(0, pick(1, 11)).baud;
    const LineEncoding host = encodePortSetup(0, pick(1, 11));
    s.baud[0] = host.baud;
    s.dataBits[0] = host.dataBits;
    s.parity[0] = host.parity;
    int minRate = 1;
    bool anyActive = false;
    for (int n = 1; n <= 8; ++n) {
        const int meter = pick(0, 12);
        const LineEncoding line = encodePortSetup(meter, meter == 0 ? 0 : pick(0, 12));
        s.meterType[at(n)] = static_cast<std::uint16_t>(meter);
        s.baud[at(n)] = line.baud;
        s.dataBits[at(n)] = line.dataBits;
        s.parity[at(n)] = line.parity;
        anyActive = anyActive || meter != 0;
        const bool lineOn = decodePortSetup(line.baud, line.dataBits) != 0;
        if (lineOn && meter == kMeterKb5)
            minRate = std::max(minRate, 2);
        if (lineOn && meter == kMeterRmx)
            minRate = std::max(minRate, 4);
    }
    s.lowVoltageCutoff.fill(static_cast<std::uint16_t>(anyActive ? pick(65, 140) : 65));
    for (int i = 1; i <= 7; ++i)
        s.analogSetting[at(i)] = static_cast<std::uint16_t>(pick(0, 2));
    for (int i = 0; i < 4; ++i)
        s.pumpSetting[at(i)] = static_cast<std::uint16_t>(pick(0, pumpSettingCount(i + 1) - 1));
    const int maxRate = (s.mode == 2 || s.mode == 3) ? 20 : 8;
    s.analogRateHz = static_cast<std::uint16_t>(pick(std::min(minRate, maxRate), maxRate));
    s.outputFormat = static_cast<std::uint16_t>(pick(0, 11));
    s.fileFormat = static_cast<std::uint16_t>(pick(0, 1));
    s.autoStart = static_cast<std::uint16_t>(pick(0, 1));
    if (isMooredMode(s.loggerMode()))
        s.oncePerHourMask = static_cast<std::uint32_t>(pick(0, 0xFFFFF)) & 0x000F7FFFu;

    SetupSnapshot snap;
    if (includeRetained) {
        std::vector<std::uint8_t> noise(kSetupRecordLength);
        for (auto& b : noise)
            b = static_cast<std::uint8_t>(pick(0, 255));
        snap.store(noise);
    }
    snap.encode(s);
    return snap;
}

TEST(SetupRoundTrip, ReceivedSetupBuiltAgainKeepsEveryByteRetainedOnesIncluded) {
    std::mt19937 rng(20240301);
    for (int round = 0; round < 2000; ++round) {
        SetupSnapshot snap = randomReceivedSetup(rng);
        const auto received = std::vector<std::uint8_t>(snap.bytes().begin(), snap.bytes().end());
        Console c;
        ScriptedOperator op;
        applyReceivedSetup(snap, c.forms, c.labels(), HostMode::Moored, 2);
        ASSERT_EQ(c.forms.PStore.caption, "Setup is Current");
        const auto frame = buildSetupFrame(c.forms, snap, 2, op);
        ASSERT_TRUE(frame.has_value()) << "round " << round;
        ASSERT_EQ(std::vector<std::uint8_t>(frame->begin(), frame->end()), received)
            << "round " << round;
    }
}

TEST(SetupRoundTrip, FormBuiltThenReceivedGivesTheFormBack) {
    std::mt19937 rng(7);
    for (int round = 0; round < 500; ++round) {
        // A form as the operator may leave it: taken from a received record, then edited.
        SetupSnapshot seed = randomReceivedSetup(rng, false);
        Console edited;
        applyReceivedSetup(seed, edited.forms, edited.labels(), HostMode::Moored, 2);
        auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
        auto& f = edited.forms;
        const int port = pick(0, 7);
        f.portSetup.ComboMeter[at(port)].index = pick(1, 12);
        f.portSetup.CBPortSetup[at(port)].index =
            f.portSetup.ComboMeter[at(port)].index == kMeterPump ? kPortSetupOn : pick(1, 11);
        f.loggerControl.duration(Duration::Flush) = {pick(1, 300), kUnitSeconds, true};
        f.loggerControl.CBAutoStart.checked = !f.loggerControl.CBAutoStart.checked;
        f.loggerControl.UDLVCutOff = pick(65, 140);
        setupValueChanged(f);
        f.loggerControl.TimeSourceCB.index = pick(0, 3);

        SetupSnapshot snap;
        ScriptedOperator op;
        ASSERT_TRUE(buildSetupFrame(f, snap, 2, op).has_value());
        Console back;
        applyReceivedSetup(snap, back.forms, back.labels(), HostMode::Moored, 2);

        const auto& a = f;
        const auto& b = back.forms;
        EXPECT_EQ(b.portSetup.ComboMeter, a.portSetup.ComboMeter);
        EXPECT_EQ(b.portSetup.CBPortSetup, a.portSetup.CBPortSetup);
        EXPECT_EQ(b.portSetup.CBHostPortSetup, a.portSetup.CBHostPortSetup);
        EXPECT_EQ(b.portSetup.CBAnalog, a.portSetup.CBAnalog);
        EXPECT_EQ(b.portSetup.CBPump, a.portSetup.CBPump);
        EXPECT_EQ(b.portSetup.SOPH, a.portSetup.SOPH);
        EXPECT_EQ(b.portSetup.AOPH, a.portSetup.AOPH);
        EXPECT_EQ(b.portSetup.POPH, a.portSetup.POPH);
        EXPECT_EQ(b.loggerControl.ModeCB, a.loggerControl.ModeCB);
        EXPECT_EQ(b.loggerControl.OutputCB, a.loggerControl.OutputCB);
        EXPECT_EQ(b.loggerControl.FileCB, a.loggerControl.FileCB);
        EXPECT_EQ(b.loggerControl.TimeSourceCB.index, 0);
        EXPECT_EQ(b.loggerControl.CBAutoStart, a.loggerControl.CBAutoStart);
        EXPECT_EQ(b.loggerControl.UDAnalogRate, a.loggerControl.UDAnalogRate);
        EXPECT_EQ(b.loggerControl.UDLVCutOff, a.loggerControl.UDLVCutOff);
        for (int d = 0; d < kDurationCount; ++d) {
            const auto& x = a.loggerControl.durations[at(d)];
            const auto& y = b.loggerControl.durations[at(d)];
            EXPECT_EQ(y.number * unitMultiplier(y.unit), x.number * unitMultiplier(x.unit));
        }
    }
}

// A form as a received setup leaves it, ready for the worked examples.
Console receivedConsole(const LoggerSetup& s) {
    SetupSnapshot snap;
    snap.encode(s);
    Console c;
    applyReceivedSetup(snap, c.forms, c.labels(), HostMode::Moored, 2);
    return c;
}

LoggerSetup plainSetup() {
    LoggerSetup s;
    s.baud[0] = 9600;
    s.dataBits.fill(8);
    s.sampleSeconds = 5;
    s.intervalSeconds = 300;
    s.analogRateHz = 1;
    return s;
}

TEST(AnalogRateFloors, SelectingAKb5OrRmxOnAnActivePortRaisesTheRate) {
    Console c = receivedConsole(plainSetup());
    auto& f = c.forms;
    f.portSetup.ComboMeter[2].index = kMeterKb5;
    f.portSetup.CBPortSetup[2].index = 6;
    setupValueChanged(f);
    EXPECT_EQ(f.loggerControl.UDAnalogRate, 2);
    EXPECT_EQ(f.PStore.caption, "Setup is Not Current");
    EXPECT_EQ(f.PStore.colour, Colour::Yellow);
    EXPECT_EQ(f.loggerControl.LBAnalogRate.caption, "2 Hz   500 ms");

    // The spinner may lower it again until the next selection change.
    f.loggerControl.UDAnalogRate = 1;
    rateStepped(f);
    EXPECT_EQ(f.loggerControl.UDAnalogRate, 1);
    f.portSetup.ComboMeter[2].index = kMeterRmx;
    setupValueChanged(f);
    EXPECT_EQ(f.loggerControl.UDAnalogRate, 4);

    Console off = receivedConsole(plainSetup());
    off.forms.portSetup.ComboMeter[2].index = kMeterRmx;
    off.forms.portSetup.CBPortSetup[2].index = 0;
    setupValueChanged(off.forms);
    EXPECT_EQ(off.forms.loggerControl.UDAnalogRate, 1);
}

TEST(AnalogRateFloors, APortWhoseBaudListHasNothingChosenIsNotOff) {
    Console c = receivedConsole(plainSetup());
    c.forms.portSetup.ComboMeter[2].index = kMeterKb5;
    c.forms.portSetup.CBPortSetup[2].index = -1;
    setupValueChanged(c.forms);
    EXPECT_EQ(c.forms.loggerControl.UDAnalogRate, 2);
}

TEST(AnalogRateLabel, ColourDependsOnRecording) {
    EXPECT_EQ(analogRateColour(10, 0), Colour::Silver);
    EXPECT_EQ(analogRateColour(11, 0), Colour::Yellow);
    EXPECT_EQ(analogRateColour(11, -1), Colour::Yellow);
    EXPECT_EQ(analogRateColour(6, 1), Colour::Silver);
    EXPECT_EQ(analogRateColour(7, 1), Colour::Red);
    EXPECT_EQ(analogRateText(20), "20 Hz    50 ms");
}

TEST(BuildSetupFrame, RateIsCappedAt8HzOutsideRealTimeAndAnalogModes) {
    for (int mode : {0, 2}) {
        LoggerSetup s = plainSetup();
        s.mode = static_cast<std::uint16_t>(mode);
        Console c = receivedConsole(s);
        c.forms.loggerControl.UDAnalogRate = 12;
        SetupSnapshot snap;
        ScriptedOperator op;
        ASSERT_TRUE(buildSetupFrame(c.forms, snap, 2, op));
        const int expected = mode == 0 ? 8 : 12;
        EXPECT_EQ(snap.decode().analogRateHz, expected);
        EXPECT_EQ(c.forms.loggerControl.UDAnalogRate, expected);
    }
}

TEST(BuildSetupFrame, Kb5PlusPortOneRunsAt19200AsKb5BinaryOrOff) {
    for (int deviceType : {1, 3}) {
        Console c = receivedConsole(plainSetup());
        c.forms.portSetup.ComboMeter[0].index = 6;   // GPS
        c.forms.portSetup.CBPortSetup[0].index = 4;  // 4800
        SetupSnapshot snap;
        ScriptedOperator op;
        ASSERT_TRUE(buildSetupFrame(c.forms, snap, deviceType, op));
        EXPECT_EQ(snap.decode().meterType[1], 1);
        EXPECT_EQ(snap.decode().baud[1], 19200u);
        EXPECT_EQ(c.forms.portSetup.CBPortSetup[0].index, kPortSetup19200);
        c.forms.portSetup.ComboMeter[0].index = kMeterBinary;
        ASSERT_TRUE(buildSetupFrame(c.forms, snap, deviceType, op));
        EXPECT_EQ(snap.decode().meterType[1], kMeterBinary);
    }
    Console tq7 = receivedConsole(plainSetup());
    tq7.forms.portSetup.ComboMeter[0].index = 6;
    tq7.forms.portSetup.CBPortSetup[0].index = 4;
    SetupSnapshot snap;
    ScriptedOperator op;
    ASSERT_TRUE(buildSetupFrame(tq7.forms, snap, 2, op));
    EXPECT_EQ(snap.decode().meterType[1], 6);
    EXPECT_EQ(snap.decode().baud[1], 4800u);
}

TEST(ReceivedSetup, CutOffIsTheHighestOfThePortsInUseAndAtLeast65) {
    LoggerSetup s = plainSetup();
    s.meterType[2] = 3;
    s.lowVoltageCutoff[2] = 105;
    s.meterType[5] = 4;
    s.lowVoltageCutoff[5] = 120;
    s.lowVoltageCutoff[7] = 130;  // port 7 not in use
    s.lowVoltageCutoff[0] = 139;  // the host port does not count
    Console c = receivedConsole(s);
    EXPECT_EQ(c.forms.loggerControl.LBLowVoltage.caption, "12.0 V");
    SetupSnapshot snap;
    ScriptedOperator op;
    ASSERT_TRUE(buildSetupFrame(c.forms, snap, 2, op));
    for (auto v : snap.decode().lowVoltageCutoff)
        EXPECT_EQ(v, 120);

    LoggerSetup low = plainSetup();
    low.meterType[1] = 1;
    low.lowVoltageCutoff.fill(50);
    EXPECT_EQ(receivedConsole(low).forms.loggerControl.LBLowVoltage.caption, " 6.5 V");
}

TEST(ReceivedSetup, ValuesBeyondTheSpinnersAreShownAsReceived) {
    LoggerSetup s = plainSetup();
    s.meterType[2] = 3;
    s.lowVoltageCutoff[2] = 150;
    s.analogRateHz = 25;
    Console c = receivedConsole(s);
    const LoggerControlForm& l = c.forms.loggerControl;
    EXPECT_EQ(l.LBLowVoltage.caption, "15.0 V");
    EXPECT_EQ(l.LBAnalogRate.caption, "25 Hz    40 ms");
    // The spinners hold their limits, and Send Setup sends what they hold.
    EXPECT_EQ(l.UDLVCutOff, 140);
    EXPECT_EQ(l.UDAnalogRate, 20);
    SetupSnapshot snap;
    ScriptedOperator op;
    ASSERT_TRUE(buildSetupFrame(c.forms, snap, 2, op));
    EXPECT_EQ(snap.decode().lowVoltageCutoff[2], 140);
}

TEST(ReceivedSetup, UnknownValuesLeaveListsUnselectedAndSendSetupIsRefused) {
    LoggerSetup s = plainSetup();
    s.meterType[4] = 13;
    Console c = receivedConsole(s);
    EXPECT_EQ(c.forms.portSetup.ComboMeter[3].index, -1);
    SetupSnapshot snap;
    ScriptedOperator op;
    EXPECT_FALSE(buildSetupFrame(c.forms, snap, 2, op));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "*** Warning *** 'Send Setup' has been aborted.");
    EXPECT_EQ(op.notices()[0].text,
              "One or more of the Logger Setup Parameters in either Port Setup or Sample Setup "
              "is invalid.");
    EXPECT_EQ(snap.bytes()[0], 0);  // nothing encoded

    LoggerSetup badPump = plainSetup();
    badPump.pumpSetting[0] = 5;  // pump 1 has only OFF and ON
    EXPECT_FALSE(validateSetupSelections(receivedConsole(badPump).forms));

    // Before any setup only the analog and pump lists have a choice.
    EXPECT_FALSE(validateSetupSelections(SetupForms{}));
}

TEST(ReceivedSetup, StepsFillTheControlsAndTheHostPortLine) {
    LoggerSetup s = plainSetup();
    s.mode = 12;
    s.baud[0] = 0;  // no host-port baud: taken as 9600
    s.meterType[1] = 7;
    s.dataBits[1] = 7;    // pump switched on
    s.meterType[2] = 14;  // unknown type: no selection, line OFF
    s.baud[2] = 9600;
    s.analogSetting[3] = 5;
    s.analogRateHz = 0;
    s.oncePerHourMask = (1u << 1) | (1u << 9) | (1u << 19);
    s.delaySeconds = 7200;
    s.warmUpSeconds = 5400;
    s.sampleSeconds = 61;
    SetupSnapshot snap;
    snap.encode(s);
    Console c;
    const auto r = applyReceivedSetup(snap, c.forms, c.labels(), HostMode::Moored, 1);
    const auto& p = c.forms.portSetup;
    const auto& l = c.forms.loggerControl;
    EXPECT_EQ(r.hostLineChoice, 6);
    EXPECT_EQ(p.CBHostPortSetup.index, 6);
    EXPECT_EQ(p.CBPortSetup[0].index, kPortSetupOn);
    EXPECT_EQ(p.ComboMeter[1].index, -1);
    EXPECT_EQ(p.CBPortSetup[1].index, 0);
    EXPECT_EQ(r.portTypeLabels[0], "Pump");
    EXPECT_EQ(r.portTypeLabels[1], "OFF");
    EXPECT_EQ(p.CBAnalog[2].index, 0);
    EXPECT_EQ(l.UDAnalogRate, 1);
    EXPECT_EQ(snap.decode().analogRateHz, 1);  // raised in the record too
    EXPECT_EQ(l.LBAnalogRate.caption, "1 Hz  1000 ms");
    EXPECT_EQ(l.duration(Duration::Delay), (DurationState{2, kUnitHours, true}));
    EXPECT_EQ(l.duration(Duration::WarmUp).number, 90);
    EXPECT_EQ(l.duration(Duration::Sample), (DurationState{61, kUnitSeconds, true}));
    EXPECT_TRUE(p.SOPH[1].checked && p.AOPH[1].checked && p.POPH[3].checked);
    EXPECT_FALSE(p.SOPH[0].checked);
    EXPECT_TRUE(l.BTSleepVisible);
    EXPECT_TRUE(l.duration(Duration::SampleInterval).visible);
    EXPECT_EQ(l.ButtonVisible, (std::array<bool, 4>{true, true, true, true}));
    EXPECT_EQ(c.LoggerMode.caption, "Polled-Moored Logging");
    EXPECT_TRUE(c.LoggerMode.visible);
    EXPECT_EQ(c.LoggerModeIndex, cvh::LoggerMode::PolledMoored);
    EXPECT_EQ(c.LoggerMode.colour, Colour::Red);  // host mode 2 expects logger mode 1
    EXPECT_EQ(c.HostMode.colour, Colour::Red);
}

TEST(BuildSetupFrame, TimeSourceGoesBackToInternalAndOutputWithRecordingWarns) {
    LoggerSetup s = plainSetup();
    s.mode = 1;
    s.outputFormat = 2;
    s.fileFormat = 1;
    s.oncePerHourMask = 1;
    Console c = receivedConsole(s);
    c.forms.loggerControl.TimeSourceCB.index = 2;
    timeSourceChanged(c.forms);
    SetupSnapshot snap;
    ScriptedOperator op;
    ASSERT_TRUE(buildSetupFrame(c.forms, snap, 2, op));
    EXPECT_EQ(c.forms.loggerControl.TimeSourceCB.index, 0);
    EXPECT_EQ(snap.decode().timeSource, 0);
    EXPECT_EQ(snap.decode().oncePerHourMask, 1u);
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "***Warning***");
    // Sending leaves the marker as it was.
    EXPECT_EQ(c.forms.PStore.caption, "Setup is Not Current");

    // Leaving the moored modes drops the once-per-hour choices.
    c.forms.loggerControl.ModeCB.index = 0;
    loggerModeChanged(c.forms);
    EXPECT_FALSE(c.forms.portSetup.SOPH[0].checked);
    EXPECT_FALSE(c.forms.portSetup.SOPH[0].visible);
    EXPECT_FALSE(c.forms.loggerControl.BTSleepVisible);
    ASSERT_TRUE(buildSetupFrame(c.forms, snap, 2, op));
    EXPECT_EQ(snap.decode().oncePerHourMask, 0u);
}

TEST(ChangeTracking, EveryHandlerMarksTheSetupNotCurrent) {
    using Handler = void (*)(SetupForms&);
    for (Handler h : {setupValueChanged, rateStepped, delayStepped, oncePerHourToggled,
                      timeSourceChanged, lowVoltageStepped, loggerModeChanged}) {
        Console c = receivedConsole(plainSetup());
        ASSERT_EQ(c.forms.PStore.caption, "Setup is Current");
        ASSERT_EQ(c.forms.PStore.colour, Colour::Silver);
        h(c.forms);
        EXPECT_EQ(c.forms.PStore.caption, "Setup is Not Current");
    }
    Console c = receivedConsole(plainSetup());
    c.forms.loggerControl.UDLVCutOff = 105;
    lowVoltageStepped(c.forms);
    EXPECT_EQ(c.forms.loggerControl.LBLowVoltage.caption, "10.5 V");
}

TEST(SetupCommands, PStoreAsksOnlyWhileTheLoggerStandsBy) {
    ScriptedOperator op;
    for (OperationCode code :
         {OperationCode::Standby, OperationCode::Upload, OperationCode::EndOfRun})
        EXPECT_EQ(setupRereadCommand(code, op), (CommandRequest{CommandCode::GetSetup, 0, 0}));
    EXPECT_TRUE(op.asked.empty());
    EXPECT_FALSE(setupRereadCommand(OperationCode::Sampling, op));
    ASSERT_EQ(op.notices().size(), 1u);
    EXPECT_EQ(op.notices()[0].caption, "Unable to Complete Command");
    EXPECT_EQ(op.notices()[0].text,
              "The Logger Must be in Standby before Sending a new Logger Setup");
    EXPECT_EQ(beginSampleCommand().code, CommandCode::BeginSample);
}

TEST(HostPortFollow, TheSameSettingOnTheSamePortIsNeitherReopenedNorDrained) {
    EXPECT_FALSE(loggerPortMustReopen(3, 6, 3, 6));
    EXPECT_TRUE(loggerPortMustReopen(3, 6, 3, 11));  // the logger moved to 115200
    EXPECT_TRUE(loggerPortMustReopen(3, 6, 4, 6));   // another port was chosen
    EXPECT_TRUE(loggerPortMustReopen(0, 6, 3, 6));   // closed: open it
}

}  // namespace
}  // namespace cvh
