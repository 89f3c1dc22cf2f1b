#include <gtest/gtest.h>

#include <vector>

#include "session/logger_status_view.h"

namespace cvh {
namespace {

// A status record as it arrives, built through the link's own layout.
struct StatusBytes {
    LoggerStatus st;
    StatusBytes() {
        st.deviceType = 2;
        st.loggerId = 2;
        st.statusCode = 9;
        st.firmwareVersion = (7u << 28) | (9u << 20);
    }
    LoggerStatus decoded() const {
        const StatusRecordBytes bytes = encodeStatusRecord(st);
        return decodeStatusRecord(bytes).value();
    }
};

TEST(StatusDisplay, AnIdenticalRecordChangesNoRowVisibility) {
    StatusBytes s;
    s.st.serialPortMask = 0x0205;  // ports 1 and 3, remote host on
    s.st.analogMask = 0x03;
    s.st.pumpMask = 0x08;
    s.st.runStopSwitch = 2;
    StatusMemory memory;
    PortSetupForm form;
    const LoggerStatus st = s.decoded();
    const auto first = showLoggerStatus(st, true, memory, form);
    ASSERT_TRUE(first.layout);
    EXPECT_EQ(first.layout->portRowVisible,
              (std::array<bool, 8>{true, false, true, false, false, false, false, false}));
    EXPECT_TRUE(first.layout->analogFileVisible);
    EXPECT_EQ(first.remoteHostPanelVisible, true);
    EXPECT_EQ(first.runStopCaption, "Run/Stop Switch: RUN");
    EXPECT_TRUE(form.LBS[2].visible && form.SOPH[2].visible && form.SOPHLBVisible);
    EXPECT_FALSE(form.LBS[1].visible || form.ComboMeter[1].visible || form.CBPortSetup[1].visible);
    EXPECT_TRUE(form.POPH[3].visible && !form.POPH[0].visible);
    EXPECT_TRUE(form.LBPump.visible);

    const PortSetupForm before = form;
    const auto second = showLoggerStatus(st, true, memory, form);
    EXPECT_FALSE(second.layout);
    EXPECT_FALSE(second.remoteHostPanelVisible);
    EXPECT_FALSE(second.portNames);
    EXPECT_FALSE(second.runStopCaption);
    EXPECT_FALSE(second.runStopVisible);
    EXPECT_EQ(form, before);

    // Leaving moored logging alone changes the layout: the once-per-hour column goes.
    const auto profile = showLoggerStatus(st, false, memory, form);
    ASSERT_TRUE(profile.layout);
    EXPECT_FALSE(form.SOPH[2].visible || form.SOPHLBVisible);
}

TEST(StatusDisplay, PortLabelsFollowTheDeviceType) {
    StatusMemory memory;
    PortSetupForm form;
    StatusBytes s;
    s.st.deviceType = 0;
    auto u = showLoggerStatus(s.decoded(), false, memory, form);
    ASSERT_TRUE(u.portNames);
    EXPECT_EQ((*u.portNames)[0], "kb5:");
    EXPECT_EQ((*u.portNames)[7], "Port 7:");
    EXPECT_EQ(form.LBS[1].caption, "Port 1:");
    s.st.deviceType = 2;  // leaves them as they are
    u = showLoggerStatus(s.decoded(), false, memory, form);
    EXPECT_FALSE(u.portNames);
    EXPECT_EQ(form.LBS[0].caption, "kb5:");
    s.st.deviceType = 1;
    u = showLoggerStatus(s.decoded(), false, memory, form);
    ASSERT_TRUE(u.portNames);
    EXPECT_EQ(form.LBS[0].caption, "Port 1:");
    EXPECT_EQ(form.LBS[7].caption, "Port 8:");
    EXPECT_STREQ(u.names.titleName, "kb5Plus");
    EXPECT_EQ(u.names.LoggerDeviceName, "KB5+");
}

TEST(StatusDisplay, OldFirmwareWarnsOncePerProgramRun) {
    StatusMemory memory;
    PortSetupForm form;
    StatusBytes s;
    s.st.firmwareVersion = (6u << 28) | (90u << 20);
    const auto first = showLoggerStatus(s.decoded(), false, memory, form);
    EXPECT_EQ(first.firmwareWarning,
              "This Host Program is incompatible with Firmware Version 6.90");
    EXPECT_FALSE(showLoggerStatus(s.decoded(), false, memory, form).firmwareWarning);
    StatusMemory fresh;
    s.st.firmwareVersion = 7u << 28;
    EXPECT_FALSE(showLoggerStatus(s.decoded(), false, fresh, form).firmwareWarning);
}

TEST(StatusDisplay, InvalidLoggerIdOpensTheIdWindowOnEveryRecord) {
    StatusMemory memory;
    PortSetupForm form;
    StatusBytes s;
    for (int id : {0, 255, 0}) {
        s.st.loggerId = static_cast<std::int16_t>(id);
        const auto u = showLoggerStatus(s.decoded(), false, memory, form);
        EXPECT_TRUE(u.openMuxIdWindow) << id;
        EXPECT_EQ(u.LBCurrentMuxID,
                  id == 0 ? "Current Logger ID:    0" : "Current Logger ID:  255");
    }
    s.st.loggerId = 254;
    EXPECT_FALSE(showLoggerStatus(s.decoded(), false, memory, form).openMuxIdWindow);
}

TEST(StatusDisplay, TextsAndTitle) {
    StatusMemory memory;
    PortSetupForm form;
    StatusBytes s;
    s.st.serialNumber = 42;
    s.st.deviceType = 3;
    s.st.statusCode = 0x21;
    s.st.runNumber = 7;
    s.st.timeLeftSeconds = 3725;
    s.st.powerFlags = 0x35;
    s.st.voltages[0] = 12345;
    s.st.freeMemoryBytes = 2048 * 1024;
    s.st.portRunBytes[1] = 1024;
    s.st.portRunBytes[0] = 999999;  // not the host's;
    s.st.otherRunBytes = 2048;
    s.st.runStopSwitch = 7;
    auto u = showLoggerStatus(s.decoded(), false, memory, form);
    EXPECT_EQ(u.TitleText, "CV Host: v7.09e    External kb5Plus-042: v7.09");
    EXPECT_EQ(u.status.LBOperation.caption, "Invalid Status 21");
    EXPECT_EQ(u.LBRunNumber, "Run Number:  007");
    EXPECT_EQ(u.status.LBTimeLeft.caption, " 1:02:05");
    EXPECT_EQ(u.LBPower, "Power: 1010 1100");
    EXPECT_EQ(u.status.LBCurrentV.caption, "12.3 V");
    EXPECT_EQ(u.status.LBFreeDisk.caption, "2048 K");
    EXPECT_EQ(u.status.LBRunSize.caption, "Run File Size:  3 K");
    EXPECT_EQ(u.runStopCaption, "Run/Stop Switch:  Error");
    EXPECT_EQ(u.runStopVisible, true);
    EXPECT_EQ(u.operationCode, static_cast<OperationCode>(0x21));
    s.st.serialNumber = 0;
    s.st.runStopSwitch = 0;
    s.st.timeLeftSeconds = 59;
    u = showLoggerStatus(s.decoded(), false, memory, form);
    EXPECT_EQ(u.TitleText, "CV Host: v7.09e    External kb5Plus: v7.09");
    EXPECT_EQ(u.runStopVisible, false);
    EXPECT_EQ(u.status.LBTimeLeft.caption, " 0:59");
    s.st.deviceType = 9;
    u = showLoggerStatus(s.decoded(), false, memory, form);
    EXPECT_STREQ(u.names.titleName, "Unknown Meter");
    EXPECT_FALSE(u.names.BTClearMemory);
}

TEST(ModeLabels, CaptionsByDeviceType) {
    EXPECT_EQ(loggerModeCaption(LoggerMode::RunLoggerPort1, 3), "Direct To kb5");
    EXPECT_EQ(loggerModeCaption(LoggerMode::RunLoggerPort1, 2), "Direct To PORT1");
    EXPECT_EQ(loggerModeCaption(loggerModeOf(7), 1), "Direct To PORT3");
    EXPECT_EQ(loggerModeCaption(loggerModeOf(7), 0), "Direct To PORT4");
    EXPECT_EQ(loggerModeCaption(loggerModeOf(8), 1), "Direct To PORT5");
    EXPECT_EQ(loggerModeCaption(LoggerMode::Profile, 1), "Profile Logging      ");
    EXPECT_EQ(loggerModeCaption(LoggerMode::Profile, 1).size(), 21u);
    EXPECT_EQ(loggerModeCaption(LoggerMode::NotRecorded, 1), "Unknown Mode");
}

TEST(ModeLabels, ColouringComparesHostAndLoggerModes) {
    LabelState host{"Moored Logging"}, logger{"", true};
    LoggerMode index = LoggerMode::None;
    showLoggerMode({host, logger, index}, LoggerMode::PolledMoored, 2, HostMode::Moored);
    EXPECT_EQ(index, LoggerMode::PolledMoored);
    EXPECT_EQ(host.colour, Colour::Red);
    EXPECT_EQ(logger.colour, Colour::Red);
    showLoggerMode({host, logger, index}, LoggerMode::Moored, 2, HostMode::Moored);
    EXPECT_EQ(host.colour, Colour::ButtonFace);
    showLoggerMode({host, logger, index}, LoggerMode::Moored, 2,
                   HostMode::Phi3);  // mode 6: colours stay
    EXPECT_EQ(host.colour, Colour::ButtonFace);
    showLoggerMode({host, logger, index}, loggerModeOf(5), 2, HostMode::RealTimeOutput);
    EXPECT_EQ(host.colour, Colour::Red);
    showLoggerMode({host, logger, index}, loggerModeOf(5), 2, HostMode::Invalid);
    EXPECT_EQ(host.colour, Colour::Red);
    EXPECT_EQ(modeLabelColour(HostMode::Moored, loggerModeOf(5), false), Colour::ButtonFace);
    EXPECT_EQ(modeLabelColour(HostMode::PcLogger, loggerModeOf(5), true), Colour::ButtonFace);
    EXPECT_EQ(modeLabelColour(HostMode::Analog, LoggerMode::Analog, true), Colour::ButtonFace);
    EXPECT_EQ(modeLabelColour(HostMode::Profile, LoggerMode::Moored, true), Colour::Red);
}

TEST(FlashPanel, SetOnTheFirstTickThenOnlyOnChange) {
    StatusMemory memory;
    EXPECT_EQ(refreshFlashPanel(0, memory), false);
    EXPECT_FALSE(refreshFlashPanel(0, memory));
    EXPECT_EQ(refreshFlashPanel(-3, memory), true);
    EXPECT_FALSE(refreshFlashPanel(-3, memory));
}

}  // namespace
}  // namespace cvh
