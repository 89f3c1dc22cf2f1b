#include "session/logger_status_view.h"

#include "base/version.h"

#include "base/cformat.h"

namespace cvh {

std::string runNumberText(int runNumber) {
    if (runNumber < 0)
        return "Run Number:";
    return cformat("Run Number:  %03d", runNumber);
}

std::string timeLeftText(std::uint32_t seconds) {
    const long h = static_cast<long>(seconds / 3600);
    const long m = static_cast<long>(seconds % 3600 / 60);
    const long s = static_cast<long>(seconds % 60);
    if (seconds >= 3600)
        return cformat("%2ld:%02ld:%02ld", h, m, s);
    return cformat("%2ld:%02ld", m, s);
}

std::string powerFlagsText(std::uint16_t flags) {
    std::string text = "Power: ";
    for (int bit = 0; bit < 8; ++bit) {
        text += (flags >> bit) & 1 ? '1' : '0';
        if (bit == 3)
            text += ' ';
    }
    return text;
}

std::string voltsText(std::int16_t millivolts) {
    return cformat("%4.1f V", millivolts * 0.001);
}

std::string kilobytesText(std::int64_t bytes) {
    return cformat("%lld K", static_cast<long long>(bytes / 1024));
}

std::string runSizeText(const LoggerStatus& s) {
    // Ports 1..8, the analog channels and the further file; entry 0 is not the host's.
    std::int64_t total = static_cast<std::int64_t>(s.analogRunBytes) + s.otherRunBytes;
    for (std::size_t port = 1; port < s.portRunBytes.size(); ++port)
        total += s.portRunBytes[port];
    return cformat("Run File Size:  %lld K", static_cast<long long>(total / 1024));
}

FirmwareVersion firmwareVersion(std::uint32_t word) {
    return {static_cast<int>(word >> 28), static_cast<int>((word >> 20) & 0xFF)};
}

std::string statusTitleText(int serialNumber, const char* titleName, FirmwareVersion fw) {
    if (serialNumber < 1)
        return cformat("CV Host: v%4.2f%c    %s: v%1d.%02d", kHostVersion, kHostVersionLetter,
                       titleName, fw.major, fw.minor);
    return cformat("CV Host: v%4.2f%c    %s-%03d: v%1d.%02d", kHostVersion, kHostVersionLetter,
                   titleName, serialNumber, fw.major, fw.minor);
}

DeviceNames deviceNames(int deviceType) {
    switch (deviceType) {
        case 1:
            return {"kb5Plus", "Clear KB5+ Memory", "Get KB5+ Directory", "KB5+"};
        case 2:
            return {"TQ7", "Clear TQ-7 Memory", "Get TQ-7 Directory", "TQ-7"};
        case 3:
            return {"External kb5Plus", "Clear Q-Span Memory", "Get Q-Span Directory", "Q-Span"};
        default:
            return {};
    }
}

std::string loggerModeCaption(LoggerMode mode, int loggerDeviceType) {
    // On the devices whose port 1 is the kb5 link the pass-through modes count from the kb5.
    const bool kb5First = hasKb5LinkOnPortOne(loggerDeviceType);
    static constexpr const char* kPorts[] = {
        "Direct To kb5",   "Direct To PORT1", "Direct To PORT2",
        "Direct To PORT3", "Direct To PORT4", "Direct To PORT5",
        "Direct To PORT6", "Direct To PORT7", "Direct To PORT8"};
    switch (mode) {
        case LoggerMode::Profile:
            return "Profile Logging      ";
        case LoggerMode::Moored:
            return "Moored Logging       ";
        case LoggerMode::RealTime:
            return "Real Time Data       ";
        case LoggerMode::Analog:
            return "Analog Output        ";
        case LoggerMode::PolledMoored:
            return "Polled-Moored Logging";
        default:
            break;
    }
    const int port = loggerModeNumber(mode) - loggerModeNumber(LoggerMode::RunLoggerPort1);
    if (port < 0 || mode > LoggerMode::RunLoggerPort8)
        return "Unknown Mode";
    return kPorts[port < 4 && kb5First ? port : port + 1];
}

namespace {

// The logger mode each host mode expects; the labels turn red while the logger runs another.
struct ExpectedLoggerMode {
    HostMode host;
    LoggerMode logger;
};
constexpr ExpectedLoggerMode kExpectedLoggerModes[] = {
    {HostMode::Analog, LoggerMode::Analog},
    {HostMode::Moored, LoggerMode::Moored},
    {HostMode::Profile, LoggerMode::Profile},
    {HostMode::RealTimeOutput, LoggerMode::RealTime},
};
// Host modes that expect no particular logger mode.
constexpr HostMode kAnyLoggerMode[] = {HostMode::Advanced, HostMode::Kb5PassThru,
                                       HostMode::PcLogger, HostMode::None};

}  // namespace

std::optional<Colour> modeLabelColour(HostMode hostMode, LoggerMode loggerMode,
                                      bool loggerModeVisible) {
    if (!loggerModeVisible)
        return Colour::ButtonFace;
    for (const auto& e : kExpectedLoggerModes)
        if (e.host == hostMode)
            return loggerMode == e.logger ? Colour::ButtonFace : Colour::Red;
    for (HostMode any : kAnyLoggerMode)
        if (any == hostMode)
            return Colour::ButtonFace;
    return std::nullopt;
}

void colourModeLabels(ModeLabels labels, HostMode activeHostMode, LoggerMode loggerMode) {
    const auto colour = modeLabelColour(activeHostMode, loggerMode, labels.LoggerMode.visible);
    if (!colour)
        return;
    labels.LoggerMode.colour = *colour;
    labels.HostMode.colour = *colour;
}

void showLoggerMode(ModeLabels labels, LoggerMode mode, int loggerDeviceType,
                    HostMode activeHostMode) {
    labels.LoggerMode.caption = loggerModeCaption(mode, loggerDeviceType);
    colourModeLabels(labels, activeHostMode, mode);
    labels.LoggerModeIndex = mode;
}

void applyOncePerHourColumn(PortSetupForm& f, bool moored) {
    auto column = [&](auto& rowLabels, auto& boxes, bool& header) {
        header = false;
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            boxes[i].visible = moored && rowLabels[i].visible;
            header = header || boxes[i].visible;
        }
    };
    column(f.LBS, f.SOPH, f.SOPHLBVisible);
    column(f.LBAnalogRow, f.AOPH, f.AOPHLBVisible);
    column(f.LBPumpRow, f.POPH, f.POPHLBVisible);
}

namespace {

std::array<std::string, kLoggerPortCount> portNamesFor(int deviceType) {
    std::array<std::string, kLoggerPortCount> names;
    for (int i = 0; i < kLoggerPortCount; ++i) {
        // Device type 0 puts the kb5 on the first row and shifts the ports down by one.
        const int port = deviceType == 0 ? i : i + 1;
        names[static_cast<std::size_t>(i)] = port == 0 ? "kb5:" : cformat("Port %d:", port);
    }
    return names;
}

DataStatusLayout applyRowLayout(const LoggerStatus& s, bool moored, PortSetupForm& f) {
    DataStatusLayout layout;
    f.HostType.caption = "Host:";
    int analogShown = 0;
    for (int j = 0; j < kLoggerPortCount; ++j) {
        const auto i = static_cast<std::size_t>(j);
        const unsigned bit = 1u << j;
        const bool port = (s.serialPortMask & bit) != 0;
        layout.portRowVisible[i] = port;
        f.LBS[i].visible = f.ComboMeter[i].visible = f.CBPortSetup[i].visible = port;
        f.SOPH[i].visible = port && moored;
        if (j < kAnalogChannelCount) {
            const bool analog = (s.analogMask & bit) != 0;
            layout.analogPairVisible[i] = analog;
            f.LBAnalogRow[i].visible = f.CBAnalog[i].visible = analog;
            f.AOPH[i].visible = analog && moored;
            if (analog)
                ++analogShown;
        }
        if (j < kPumpPortCount) {
            const bool pump = (s.pumpMask & bit) != 0;
            f.LBPumpRow[i].visible = f.CBPump[i].visible = pump;
            f.POPH[i].visible = pump && moored;
        }
    }
    applyOncePerHourColumn(f, moored);
    layout.analogFileVisible = analogShown > 0;
    layout.LBSerialVisible = s.serialPortMask != 0;
    layout.LBAnalogVisible = s.analogMask != 0;
    f.LBAnalogSetup.visible = s.analogMask != 0;
    f.LBPump.visible = s.pumpMask != 0;
    return layout;
}

}  // namespace

StatusDisplayUpdate showLoggerStatus(const LoggerStatus& s, bool moored, StatusMemory& m,
                                     PortSetupForm& portSetup) {
    StatusDisplayUpdate u;

    // Row labels follow the device type: device 0 has its kb5 on the first row.
    if (s.deviceType != m.ShownDeviceType) {
        if (s.deviceType == 0 || s.deviceType == 1) {
            u.portNames = portNamesFor(s.deviceType);
            for (std::size_t i = 0; i < u.portNames->size(); ++i)
                portSetup.LBS[i].caption = (*u.portNames)[i];
        }
        m.ShownDeviceType = s.deviceType;
    }
    const int remoteHost = (s.serialPortMask >> 9) & 1;
    if (remoteHost != m.ShownRemoteHost) {
        u.remoteHostPanelVisible = remoteHost != 0;
        m.ShownRemoteHost = remoteHost;
    }
    const int mooredFlag = moored ? 1 : 0;
    if (s.serialPortMask != m.ShownSerialMask || s.analogMask != m.ShownAnalogMask ||
        s.pumpMask != m.ShownPumpMask || s.powerFlags != m.ShownPowerFlags ||
        mooredFlag != m.ShownMooredFlag) {
        u.layout = applyRowLayout(s, moored, portSetup);
        m.ShownSerialMask = s.serialPortMask;
        m.ShownAnalogMask = s.analogMask;
        m.ShownPumpMask = s.pumpMask;
        m.ShownPowerFlags = s.powerFlags;
        m.ShownMooredFlag = mooredFlag;
    }

    // An ID the logger cannot be addressed by keeps the logger-ID window coming back until the
    // operator has given the unit a valid one.
    u.LBCurrentMuxID = cformat("Current Logger ID:  %3d", s.loggerId);
    u.openMuxIdWindow = s.loggerId < 1 || s.loggerId > 254;

    if (s.runStopSwitch != m.ShownRunStop) {
        switch (s.runStopSwitch) {
            case 0:
                break;
            case 1:
                u.runStopCaption = "Run/Stop Switch: STOP";
                break;
            case 2:
                u.runStopCaption = "Run/Stop Switch: RUN";
                break;
            case 4:
                u.runStopCaption = "Run/Stop Switch: Disabled";
                break;
            default:
                u.runStopCaption = "Run/Stop Switch:  Error";
                break;
        }
        if (s.runStopSwitch == 0)
            u.runStopVisible = false;
        if (s.runStopSwitch > 0)
            u.runStopVisible = true;
        m.ShownRunStop = s.runStopSwitch;
    }
    u.LBRunNumber = runNumberText(s.runNumber);
    u.LBPower = powerFlagsText(s.powerFlags);

    u.serialNumber = s.serialNumber;
    u.deviceType = s.deviceType;
    u.operationCode = static_cast<OperationCode>(s.statusCode);

    const FirmwareVersion fw = firmwareVersion(s.firmwareVersion);
    if (fw.below7() && !m.FirmwareWarned) {
        m.FirmwareWarned = true;
        u.firmwareWarning =
            cformat("This Host Program is incompatible with Firmware Version %4.2f", fw.value());
    }

    u.names = deviceNames(s.deviceType);
    u.TitleText = statusTitleText(s.serialNumber, u.names.titleName, fw);
    for (const StatusFigure& figure : kStatusFigures)
        (u.status.*figure.label).caption = figure.text(s);
    u.status.LBOperation.colour = Colour::ButtonFace;
    return u;
}

const std::array<StatusFigure, 8> kStatusFigures{{
    {&LoggerStatusView::LBOperation,
     [](const LoggerStatus& s) { return statusCodeText(s.statusCode); }},
    {&LoggerStatusView::LBTimeLeft,
     [](const LoggerStatus& s) {
         return timeLeftText(static_cast<std::uint32_t>(s.timeLeftSeconds));
     }},
    {&LoggerStatusView::LBRunSize, runSizeText},
    {&LoggerStatusView::LBCurrentV, [](const LoggerStatus& s) { return voltsText(s.voltages[0]); }},
    {&LoggerStatusView::LBStartV, [](const LoggerStatus& s) { return voltsText(s.voltages[1]); }},
    {&LoggerStatusView::LBEndV, [](const LoggerStatus& s) { return voltsText(s.voltages[2]); }},
    {&LoggerStatusView::LBFreeDisk,
     [](const LoggerStatus& s) { return kilobytesText(s.freeMemoryBytes); }},
    {&LoggerStatusView::LBTotalDisk,
     [](const LoggerStatus& s) { return kilobytesText(s.totalMemoryBytes); }},
}};

std::optional<bool> refreshFlashPanel(std::int64_t flashErrorValue, StatusMemory& memory) {
    if (flashErrorValue == memory.ShownFlashValue)
        return std::nullopt;
    memory.ShownFlashValue = flashErrorValue;
    return flashErrorValue != 0;
}

}  // namespace cvh
