// The host setup file (".cvh", "last.cvh"): every setting of the host program itself, as a
// version line and 34 numbered records of decimal fields. Field users keep these files across
// program versions, so the layout below is fixed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/file_write.h"
#include "base/operator.h"
#include "link/host_mode.h"

namespace cvh {

inline constexpr int kHostSetupRecordCount = 34;
inline constexpr const char* kLastHostSetupName = "last.cvh";

// The state of the main window's controls that the file carries, one field per stored value.
// Indexes are combo-box / radio-group item indexes (-1 = nothing selected); flags are 1 or 0;
// positions are up-down spinner positions. Every value is a 16-bit signed number in the file.
struct HostSetup {
    // Record 1. A file older than 7.07 carries only the first two fields.
    std::int16_t loggerPortIndex = 0;     // LoggerPortCB (0 "No Port Selected")
    std::int16_t loggerSetupIndex = 6;    // LoggerSetupCB
    std::int16_t hostPortSetupIndex = 0;  // CBHostPortSetup
    bool hasHostPortSetup = true;         // false when record 1 was read with two fields

    // Record 2, a HostMode. As loaded: a stored value outside Analog..PcLogger reads as None.
    std::int16_t activeHostMode = -1;

    // Record 3.
    std::int16_t windowState = 0;  // 0 normal, 1 minimised, 2 maximised
    std::int16_t windowHeight = 0;
    std::int16_t windowWidth = 0;

    // Record 5: stored for reference only; the host mode decides the pages on load.
    std::int16_t tabPortSetup = 0, tabLoggerControl = 0, tabDataStatus = 0, tabUpload = 0,
                 tabRealTime = 0, tabRecord = 0, tabPcLogger = 0, tabPlotSetup = 0, tabHardware = 0,
                 tabAnalog = 0;

    // Record 6: menu item visibility, and the tick of "Automatic Time Sync".
    std::int16_t menuKb5PassThruVisible = 0, menuAnnotateFileVisible = 0,
                 menuLoggerTimeUpdateVisible = 0, menuAutoTimeUpdateVisible = 0,
                 menuAutoTimeUpdateChecked = 1, menuUpdateTimeNowVisible = 0,
                 menuChangeLoggerIdVisible = 0;

    // Record 8 (TimeSourceCB's visibility also applies to TimeSourceLB).
    std::int16_t menuMooredTimeUpdateVisible = 0, menuMooredTimeUpdateChecked = 0,
                 timeSourceVisible = 0, timeSourceIndex = 0;

    // Record 9: CBAutoStart is shown and checked from this field.
    std::int16_t autoStartShownChecked = 0;

    // Record 10: "&Logger_Port" menu.
    std::int16_t menuLoggerPortSetupVisible = 1;

    // Record 13.
    std::int16_t extractFilesIndex = 0;  // ExtractFilesRG, also the extraction choice
    std::int16_t rawSourceIndex = 0;     // RawSourceCB
    std::int16_t rawMuxId = 2;           // RawMuxIDUD
    std::int16_t rawPortIndex = 0;       // RawPortCB

    // Record 14: PC-logger rate (UDDeckRate) and "Add PC Time to Port 9 " (CBRecordPCTime).
    std::int16_t deckRate = 1;
    std::int16_t recordPcTime = 0;

    // Records 15..19, PC-logger slots 1..8. As loaded, a stored -1 in 15..17 reads as 0.
    std::array<std::int16_t, 8> deckPort{};                        // DeckPort1CB..DeckPort8CB
    std::array<std::int16_t, 8> deckSetup{};                       // DeckSetup1CB..DeckSetup8CB
    std::array<std::int16_t, 8> portType{};                        // PortType1CB..PortType8CB
    std::array<std::int16_t, 8> deckType{2, 2, 2, 2, 2, 2, 2, 2};  // UDDeckType1..8
    std::array<std::int16_t, 8> outPort{1, 1, 1, 1, 1, 1, 1, 1};   // UDOutPort1..8

    // Record 20: visibility of ReplayArchiveBT, ReplayContinuousBT, ReplaySpeedLB1,
    // ReplaySpeedLB2, ReplaySpeedUD, ReplaySpeedEdit; then ReplaySpeedUD's position.
    std::array<std::int16_t, 6> replayVisible{};
    std::int16_t replaySpeed = 0;

    // Record 21 (each visibility also applies to the box's label ModeLB, FileLB, OutputLB).
    std::int16_t modeVisible = 0, modeIndex = 0;
    std::int16_t fileVisible = 0, fileIndex = 0;
    std::int16_t outputVisible = 0, outputIndex = 0;

    // Records 23..29: the Port Setup page.
    std::array<std::int16_t, 8> meterType{};          // ComboMeter1..8
    std::array<std::int16_t, 8> portSetup{};          // CBPort1Setup..CBPort8Setup
    std::array<std::int16_t, 8> serialOncePerHour{};  // SOPH1..8
    std::array<std::int16_t, 7> analog{};             // CBAnalog1..7
    std::array<std::int16_t, 7> analogOncePerHour{};  // AOPH1..7
    std::array<std::int16_t, 4> pump{};               // CBPump1..4
    std::array<std::int16_t, 4> pumpOncePerHour{};    // POPH1..4

    // Record 30.
    std::int16_t analogRate = 0;   // UDAnalogRate
    std::int16_t lvCutOff = 0;     // UDLVCutOff
    std::int16_t autoStart = 0;    // CBAutoStart
    std::int16_t dateAndTime = 0;  // DandTCB

    // Records 31..33: Delay, PreFlush, Warmup, Flush, Sample, Interval.
    std::array<std::int16_t, 6> samplingPosition{};  // DelayUD..IntervalUD
    std::array<std::int16_t, 6> samplingEdit{};      // DelayEdit..IntervalEdit as numbers
    std::array<std::int16_t, 6> samplingUnit{};      // DelayCombo..IntervalCombo

    // Record 34: selections of ModeCB, FileCB, OutputCB, TimeSourceCB (applied last).
    std::int16_t finalModeIndex = 0, finalFileIndex = 0, finalOutputIndex = 0,
                 finalTimeSourceIndex = 0;

    bool operator==(const HostSetup&) const = default;
};

// The count of fields each record carries (index = record number; entry 0 unused).
extern const std::array<int, kHostSetupRecordCount + 1> kHostSetupFieldCounts;

// The whole file text, lines ending in '\n' (the writer turns them into the platform's end).
std::string formatHostSetup(const HostSetup& setup);

enum class HostSetupStoreResult { Stored, NotCreated, WriteFailed };

struct HostSetupStoreOutcome {
    HostSetupStoreResult result = HostSetupStoreResult::Stored;
    std::optional<FileError> error;  // the path and the system's reason when not stored
    bool operator==(HostSetupStoreResult r) const { return result == r; }
};

// Writes to a temporary file next to `path` and renames it over `path` only when every byte
// was written, so a good file is never replaced by a half-written one.
HostSetupStoreOutcome storeHostSetup(const std::filesystem::path& path, const HostSetup& setup);

enum class HostSetupLoadResult {
    Loaded,      // every record passed; `setup` holds the values to apply
    Missing,     // no such file: nothing shown, nothing applied
    Unreadable,  // exists but cannot be read: nothing shown, nothing applied
    Invalid,     // one notice was shown; nothing applied
};

struct HostSetupLoad {
    HostSetupLoadResult result = HostSetupLoadResult::Missing;
    std::optional<HostSetup> setup;
    bool loaded() const { return result == HostSetupLoadResult::Loaded; }
};

// Checks the whole text before anything may be applied: the first failing record shows one
// notice through `op` and the load fails with nothing returned.
HostSetupLoad parseHostSetup(std::string_view text, Operator& op);
// Reads the file (its first kMaxHostSetupFileBytes) and parses it.
inline constexpr std::size_t kMaxHostSetupFileBytes = 1 << 20;
HostSetupLoad loadHostSetup(const std::filesystem::path& path, Operator& op);

// Record 32 keeps the numbers shown in edit boxes: leading decimal digits only, 0 if none.
std::int16_t editTextValue(const std::string& text);

// What record 1 does to the logger-port boxes. A file opened from the menu keeps a logger port
// the operator already chose; at start-up (or with no port chosen) the stored port is taken.
struct LoggerPortRestore {
    bool selectLoggerPort = false;  // select loggerPortIndex and loggerSetupIndex
    std::int16_t loggerPortIndex = 0;
    std::int16_t loggerSetupIndex = 0;
    std::optional<std::int16_t> hostPortSetupIndex;  // select in CBHostPortSetup when present
};
LoggerPortRestore restoreLoggerPort(const HostSetup& setup, bool openedFromMenu,
                                    int currentLoggerPortIndex);

// The order in which a loaded setup is applied to the console: one step after another, each
// finished before the next starts, because later steps read what earlier ones selected (the
// logger port is reopened with record 1's boxes; record 34 overrides record 21's selections;
// the PC-logger ports open only after all their boxes are restored).
enum class HostSetupStep {
    LoggerPort,        // 1: restoreLoggerPort, clear the menu-load flag, MarkSetup(0)
    HostMode,          // 2: RequestedHostMode, SetupDisplayMode, drain the logger port and
                       //    reset the packet assembly, reopen the logger port from its boxes
    WindowGeometry,    // 3: window state, then height, then width
    MenuItems,         // 6: six menu visibilities and the AutoTimeUpdate tick; then the moored
                       //    layout on for ActiveHostMode 2 or 5, off otherwise
    MooredTimeSource,  // 8: MenuMooredTimeUpdate visible and checked, TimeSourceLB/CB shown
                       //    together, time source selected
    AutoStart,         // 9: CBAutoStart shown and checked
    LoggerPortMenu,    // 10: MenuLoggerPortSetup visible
    RawDisplay,        // 13: ExtractFilesRG and the extraction choice, RawSourceCB, RawPortCB,
                       //     RawMuxIDUD; then apply the display choice as RawPortCB's handler
    DeckRate,          // 14: UDDeckRate then its click handler (snapDeckRate), CBRecordPCTime
    PcPortBoxes,       // 15..17: DeckPortNCB, DeckSetupNCB, PortTypeNCB
    PcPortSpinners,    // 18..19: UDDeckTypeN, UDOutPortN
    ReplayControls,    // 20: the six replay controls' visibility, replay speed
    ModeBoxes,         // 21: ModeLB/ModeCB, FileLB/FileCB, OutputLB/OutputCB shown pairwise,
                       //     items selected
    PortSetupRows,     // 23..29: meter types, line settings, analog, pump, once-per-hour boxes
    AnalogRate,        // 30: UDAnalogRate, UDLVCutOff, CBAutoStart, DandTCB; then the click
                       //     handlers of UDAnalogRate and UDLVCutOff
    Sampling,          // 31..33: six spinners, six edit texts (decimal), six unit boxes
    ModeSelections,    // 34: ModeCB, FileCB, OutputCB, TimeSourceCB
    PcLoggerReload,    // after 34: refreshPcRows (PortType1CBChange), loadPcSetup
};

struct HostSetupApplyStep {
    HostSetupStep step;
    int firstRecord;  // 0 for the step that follows the last record
    int lastRecord;
};
std::span<const HostSetupApplyStep> hostSetupApplyOrder();

// The File menu's dialogs (SaveCVHostDlg, OpenCVHostDlg).
FileDialogRequest saveHostSetupDialog();
FileDialogRequest openHostSetupDialog();

}  // namespace cvh
