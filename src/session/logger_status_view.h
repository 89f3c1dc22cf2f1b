// What a logger status record changes on the console: the "Logger Status" group, which port
// rows are shown, the logger identity, the firmware warning, the device names, the status texts
// and the window title; plus the two mode labels and the bad-flash panel. Slowly changing
// values (device type, masks, run/stop switch, remote-host bit, bad-flash value) are acted on
// only when they change, so an identical record changes nothing there.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "base/bytes.h"
#include "link/host_mode.h"
#include "link/logger_mode.h"
#include "link/status_record.h"
#include "session/colour.h"
#include "session/console_views.h"
#include "session/setup_exchange_forms.h"

namespace cvh {

// ---- Texts ----------------------------------------------------------------------------------

std::string runNumberText(int runNumber);
std::string timeLeftText(std::uint32_t seconds);
std::string powerFlagsText(std::uint16_t flags);
std::string voltsText(std::int16_t millivolts);
std::string kilobytesText(std::int64_t bytes);  // "%ld K" of bytes / 1024
std::string runSizeText(const LoggerStatus& s);
struct FirmwareVersion {
    int major = 0;
    int minor = 0;
    double value() const { return major + minor * 0.01; }
    bool below7() const { return major * 100 + minor < 700; }
};
FirmwareVersion firmwareVersion(std::uint32_t word);
// TitleText after a status record; the title name is that of the device type.
std::string statusTitleText(int serialNumber, const char* titleName, FirmwareVersion fw);

// Names that follow the device type; the three optional ones stay as they are for an unknown type.
struct DeviceNames {
    const char* titleName = "Unknown Meter";
    std::optional<std::string> BTClearMemory;
    std::optional<std::string> BTGetDirectory;
    std::optional<std::string> LoggerDeviceName;
};
DeviceNames deviceNames(int deviceType);

// ---- Mode labels ----------------------------------------------------------------------------

// The LoggerMode caption of a mode of operation; modes 4..7 name the first ports differently
// on the devices whose port 1 is the kb5 (types 1 and 3).
std::string loggerModeCaption(LoggerMode mode, int loggerDeviceType);
// The colour of both mode labels, or nothing for "leave the colours as they are".
std::optional<Colour> modeLabelColour(HostMode hostMode, LoggerMode loggerMode,
                                      bool loggerModeVisible);

struct ModeLabels {
    LabelState& HostMode;
    LabelState& LoggerMode;
    cvh::LoggerMode& LoggerModeIndex;
};
void colourModeLabels(ModeLabels labels, HostMode activeHostMode, LoggerMode loggerMode);
// Captions LoggerMode, recolours both labels and stores LoggerModeIndex.
void showLoggerMode(ModeLabels labels, LoggerMode mode, int loggerDeviceType,
                    HostMode activeHostMode);

// ---- Status display -------------------------------------------------------------------------

// Which rows the Data Status page shows, decided together with the Port Setup rows.
struct DataStatusLayout {
    std::array<bool, kLoggerPortCount> portRowVisible{};  // PortRowTable rows
    std::array<bool, kAnalogChannelCount> analogPairVisible{};
    bool analogFileVisible = false;  // AnalogFS, AnalogFileSizeLabel
    bool LBSerialVisible = false;
    bool LBAnalogVisible = false;
    bool operator==(const DataStatusLayout&) const = default;
};

struct StatusDisplayUpdate {
    // Always: LoggerStatusGB to the button face and height 280, LBDandT shown, the logger-clock
    // display countdown restarted.
    static constexpr int kLoggerStatusGBHeight = 280;

    // Port name labels M1Label..M8Label, when the device type changed to 0 or 1 (the same texts
    // go into the Port Setup form's LBS labels).
    std::optional<std::array<std::string, kLoggerPortCount>> portNames;
    // RemoteHostPanel visibility when the remote-host bit changed (then lay out again).
    std::optional<bool> remoteHostPanelVisible;
    // Data Status row visibility when a mask, the power flags or the moored flag changed (the
    // Port Setup form was updated at the same time).
    std::optional<DataStatusLayout> layout;

    std::string LBCurrentMuxID;    // "Current Logger ID:  %3d"
    bool openMuxIdWindow = false;  // ID outside 1..254: show the logger-ID window

    // LBRunStop when the switch value changed: its caption, and its visibility unless unchanged.
    std::optional<std::string> runStopCaption;
    std::optional<bool> runStopVisible;
    std::string LBRunNumber;
    std::string LBPower;

    // The logger identity to store (LoggerSerialNumber, LoggerDeviceType, LoggerOperationCode).
    int serialNumber = 0;
    int deviceType = 0;
    OperationCode operationCode = OperationCode::Off;

    // The text of the warning window TForm2 ("WARNING!!!"), once per program run.
    std::optional<std::string> firmwareWarning;

    DeviceNames names;
    std::string TitleText;
    // The "Logger Status" group's figures, rewritten from every record (LBOperation shown on the
    // button face).
    LoggerStatusView status;
};

// The figures of the "Logger Status" group: each label with its text from the record. The
// decode fills them from this table and the console lays the group out with the same labels.
struct StatusFigure {
    LabelState LoggerStatusView::*label;
    std::string (*text)(const LoggerStatus&);
};
extern const std::array<StatusFigure, 8> kStatusFigures;

// The values last acted on; the initial values force the first update.
struct StatusMemory {
    int ShownDeviceType = -32768;
    int ShownSerialMask = 0;
    int ShownAnalogMask = 128;
    int ShownPumpMask = 0;
    int ShownPowerFlags = 0;
    int ShownMooredFlag = 0;
    int ShownRunStop = -1;
    int ShownRemoteHost = -2;
    std::int64_t ShownFlashValue = -2;
    bool FirmwareWarned = false;  // once per program run
};

// ShowLoggerStatus's decisions for one record. `portSetup` gets its row labels, row visibility
// and once-per-hour column; `mooredLogging` is true while ModeCB is a moored mode. The clock
// check is checkLoggerClock (logger_clock.h); the port and analog rows' texts are formatted
// from the same record by the live display rules.
StatusDisplayUpdate showLoggerStatus(const LoggerStatus& status, bool mooredLogging,
                                     StatusMemory& memory, PortSetupForm& portSetup);

// The once-per-hour column of the Port Setup page: shown only for moored logging, each box and
// header following the visibility of its row labels; boxes keep their check state.
void applyOncePerHourColumn(PortSetupForm& form, bool mooredLogging);

// The bad-flash panel: returns the new FlashPanel visibility when FlashErrorValue changed since
// it was last shown (the first call always does); then lay out again.
std::optional<bool> refreshFlashPanel(std::int64_t flashErrorValue, StatusMemory& memory);

}  // namespace cvh
