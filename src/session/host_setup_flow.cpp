#include "session/host_setup_flow.h"

#include <algorithm>
#include <cstdint>
#include <tuple>
#include <utility>

#include "config/logger_setup.h"
#include "link/port_manager.h"
#include "session/host_session.h"
#include "session/pc_logger_setup.h"
#include "session/setup_exchange.h"

namespace cvh {

// The apply's reach into the controllers (it holds the session's key), and the values of a
// record that act together once the whole record is read.
struct HostSetupApply {
    HostSession& s;
    bool openedFromMenu = false;
    bool hasHostPortSetup = true;
    int loggerPort = 0, loggerSetup = 0, hostPortSetup = -1;  // record 1
    int rawSource = 0, rawPort = 0, rawMuxId = 1;             // record 13

    SetupForms& forms() { return s.setup_.edit(SessionKey{}); }
    PortSetupForm& portSetup() { return forms().portSetup; }
    LoggerControlForm& loggerControl() { return forms().loggerControl; }
    MainWindowView& window() { return s.main_.edit(); }
    HostSetupControls& kept() { return s.hostSetup_.edit(SessionKey{}); }
    PcLoggerForm& pcForm() { return s.pcLogger().form; }
    ReplayControlsVisibility& replay() { return s.replayControls_.edit(); }
    ClockAndSleep& clock() { return s.clockAndSleep_; }

    void selectHostMode(HostMode mode) {
        s.selectHostMode(mode);
        // Drains the logger port and the packet assembly, then reopens the port from the
        // boxes as they stand now (a PC-Logger mode has just emptied them).
        s.link_.loggerPortChange(s.portView().loggerPortIndex, s.portView().loggerSetupIndex);
    }
    // A file opened from the menu keeps a logger port the operator already chose; at start-up
    // (or with no port chosen) the stored port is taken.
    void restoreLoggerPort() {
        if (!openedFromMenu || s.portView().loggerPortIndex == 0)
            s.link_.selectLoggerPort(loggerPort, loggerSetup);
        if (hasHostPortSetup)
            portSetup().CBHostPortSetup.index = hostPortSetup;
        s.markSetup(0);
    }
    void showRawDisplay() { s.link_.rawPortChange(rawSource, rawPort, rawMuxId); }
    void deckRateClick(int position) { s.pcLogger_.deckRateClick(position); }
    void setReplaySpeed(int position) { s.recorder_.setReplaySpeed(position); }
    void geometryLoaded() { s.hostSetup_.geometryLoaded(); }
    void finish() {
        // The PC ports open only now, with every box of their rows restored.
        s.pcLogger().slotRowChanged();
        s.pcLogger().loadPcSetup();
        s.marks_.mark(Area::PcLogger);
        s.marks_.mark(Area::Layout);
    }
};

namespace {

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

// --- what a control can show -------------------------------------------------------------
// A stored number may be anything a 16-bit field holds; each is brought into the range of its
// control as the control itself would take it, so no later rule indexes a table with it.
enum class Fit {
    Any,          // taken as stored
    Flag,         // checked, visible, shown: anything but 0 is 1
    Choice,       // an item lo..hi; anything else selects nothing (-1)
    ItemOrFirst,  // a list that always has an item chosen: anything else is its first item
    Position,     // an up-down spinner: clamped to lo..hi
};
struct Bounds {
    Fit fit = Fit::Any;
    int lo = 0;
    int hi = 0;
};
using BoundsOf = Bounds (*)(int k);

int fitted(const Bounds& b, int v) {
    switch (b.fit) {
        case Fit::Any:
            return v;
        case Fit::Flag:
            return v != 0 ? 1 : 0;
        case Fit::Choice:
            return v >= b.lo && v <= b.hi ? v : -1;
        case Fit::ItemOrFirst:
            return v >= b.lo && v <= b.hi ? v : b.lo;
        case Fit::Position:
            return std::clamp(v, b.lo, b.hi);
    }
    return v;
}

constexpr int kRawSourceItems = 3;    // "Parsed Data", "Raw Logger Data", "Raw PC Logger Data"
constexpr int kRawPortItems = 9;      // "Display Port 1".."Display Port 8", "All Analog Data"
constexpr int kExtractItems = 2;      // "CV Archive", "CV Archive Plus Raw Files"
constexpr int kLineChoiceItems = 12;  // "OFF" .. "115200"
constexpr int kPcPortTypes = int(std::tuple_size_v<decltype(kPcPortTypeItems)>);
constexpr SpinRange kRawMuxIdRange{1, 4, 1, 2};
constexpr SpinRange kDeckRateRange{1, 20, 1, 1};
constexpr SpinRange kSourceIdRange{1, 4, 1, 2};
constexpr SpinRange kSourcePortRange{1, 9, 1, 1};
constexpr SpinRange kReplaySpeedRange{1, 10, 1, 1};
constexpr SpinRange kWindowStateRange{0, 2, 0, 0};  // normal, minimised, maximised

Bounds any(int) {
    return {};
}
Bounds flag(int) {
    return {Fit::Flag};
}
template <int N>
Bounds items(int) {
    return {Fit::Choice, -1, N - 1};
}
template <int N>
Bounds itemsOrFirst(int) {
    return {Fit::ItemOrFirst, 0, N - 1};
}
template <const SpinRange& R>
Bounds spin(int) {
    return {Fit::Position, R.min, R.max};
}
Bounds hostModes(int) {
    return {Fit::Choice, hostModeNumber(HostMode::Analog), hostModeNumber(HostMode::PcLogger)};
}
Bounds analogItems(int) {
    return {Fit::Choice, -1, analogSettingCount() - 1};
}
Bounds pumpItems(int k) {
    return {Fit::Choice, -1, pumpSettingCount(k + 1) - 1};
}
Bounds durationSpin(int k) {
    const SpinRange& r = kDurationRanges[at(k)];
    return {Fit::Position, r.min, r.max};
}

// --- the controls behind the file ----------------------------------------------------------
// One row per stored control, or per run of numbered controls: where its value sits in the
// file, the range its control can show, how to read the control and how to set it. The file
// is written from the rows and a loaded one applied through them, record by record, in the
// order of the rows; what a whole record decides together runs after it (kAfterRecord).
using Read = int (*)(const HostSession&, int k);
using Write = void (*)(HostSetupApply&, int k, int value);

struct HostSetupRow {
    const char* control;  // objectName; '#' stands for the number of each control of a run
    int record;
    int field;  // of the first control
    int count;  // controls in the run, numbered from 1
    BoundsOf bounds;
    Read read;
    Write write;  // nullptr: stored for reference only
};

const LoggerControlForm& lcOf(const HostSession& s) {
    return s.setupExchange().forms().loggerControl;
}
const PortSetupForm& psOf(const HostSession& s) {
    return s.setupExchange().forms().portSetup;
}
const PcPortRow& pcRow(const HostSession& s, int k) {
    return s.pcLoggerControl().form().rows[at(k)];
}
const HostSetupControls& keptOf(const HostSession& s) {
    return s.hostSetupStore().controls();
}

template <Page P>
int tabShown(const HostSession& s, int) {
    return s.main().pageVisible[at(pageIndex(P))];
}
template <MenuItem M>
int menuShown(const HostSession& s, int) {
    return s.main().item(M).visible;
}
template <MenuItem M>
void showMenu(HostSetupApply& a, int, int v) {
    a.window().item(M).visible = v != 0;
}
template <MenuItem M>
constexpr HostSetupRow menuRow(const char* control, int record, int field) {
    return {control, record, field, 1, flag, menuShown<M>, showMenu<M>};
}
template <Page P>
constexpr HostSetupRow tabRow(const char* control, int field) {
    return {control, 5, field, 1, flag, tabShown<P>, nullptr};
}
template <bool ReplayControlsVisibility::*Shown>
constexpr HostSetupRow replayRow(const char* control, int field) {
    return {control,
            20,
            field,
            1,
            flag,
            [](const HostSession& s, int) -> int { return s.replayControls().*Shown; },
            [](HostSetupApply& a, int, int v) { a.replay().*Shown = v != 0; }};
}

const HostSetupRow kRows[] = {
    // Record 1: the logger port; acted on together once the record is read.
    {"LoggerPortCB", 1, 0, 1, itemsOrFirst<kComBoxItemCount>,
     [](const HostSession& s, int) { return s.portView().loggerPortIndex; },
     [](HostSetupApply& a, int, int v) { a.loggerPort = v; }},
    {"LoggerSetupCB", 1, 1, 1, itemsOrFirst<kLineChoiceItems>,
     [](const HostSession& s, int) { return s.portView().loggerSetupIndex; },
     [](HostSetupApply& a, int, int v) { a.loggerSetup = v; }},
    {"CBHostPortSetup", 1, 2, 1, items<kHostPortSetupCount>,
     [](const HostSession& s, int) { return psOf(s).CBHostPortSetup.index; },
     [](HostSetupApply& a, int, int v) { a.hostPortSetup = v; }},
    // Record 2: a stored mode outside Analog..PcLogger is no mode.
    {"ActiveHostMode", 2, 0, 1, hostModes,
     [](const HostSession& s, int) { return hostModeNumber(s.activeHostMode()); },
     [](HostSetupApply& a, int, int v) { a.selectHostMode(static_cast<HostMode>(v)); }},
    // Record 3: the window's state, then its height, then its width.
    {"WindowState", 3, 0, 1, spin<kWindowStateRange>,
     [](const HostSession& s, int) { return keptOf(s).geometry.state; },
     [](HostSetupApply& a, int, int v) { a.kept().geometry.state = v; }},
    {"WindowHeight", 3, 1, 1, any,
     [](const HostSession& s, int) { return keptOf(s).geometry.height; },
     [](HostSetupApply& a, int, int v) { a.kept().geometry.height = v; }},
    {"WindowWidth", 3, 2, 1, any,
     [](const HostSession& s, int) { return keptOf(s).geometry.width; },
     [](HostSetupApply& a, int, int v) { a.kept().geometry.width = v; }},
    // Record 5: kept for reference; the host mode decides the pages.
    tabRow<Page::PortSetup>("TSPortSetup", 0),
    tabRow<Page::LoggerControl>("TSLoggerControl", 1),
    tabRow<Page::DataStatus>("TSDataStatus", 2),
    tabRow<Page::Upload>("TSUpload", 3),
    tabRow<Page::RealTime>("TSRealTime", 4),
    tabRow<Page::Record>("TSRecord", 5),
    tabRow<Page::PCLogger>("TSPCLogger", 6),
    tabRow<Page::PlotSetup>("TSPlotSetup", 9),
    tabRow<Page::Hardware>("TSHardware", 10),
    tabRow<Page::Analog>("TSAnalog", 11),
    // Record 6: menu items, and the tick of "Automatic Time Sync".
    menuRow<MenuItem::Menukb5PassThru>("Menukb5PassThru.Visible", 6, 0),
    menuRow<MenuItem::MenuAnnotateFile>("MenuAnnotateFile.Visible", 6, 1),
    menuRow<MenuItem::MenuLoggerTimeUpdate>("MenuLoggerTimeUpdate.Visible", 6, 2),
    menuRow<MenuItem::MenuAutoTimeUpdate>("MenuAutoTimeUpdate.Visible", 6, 3),
    {"MenuAutoTimeUpdate.Checked", 6, 4, 1, flag,
     [](const HostSession& s, int) -> int {
         return s.clockAndSleep().timeSync().MenuAutoTimeUpdate;
     },
     [](HostSetupApply& a, int, int v) { a.clock().restoreAutoTimeUpdate(v != 0); }},
    menuRow<MenuItem::MenuUpdateTimeNow>("MenuUpdateTimeNow.Visible", 6, 5),
    menuRow<MenuItem::MenuChangeLoggerID>("MenuChangeLoggerID.Visible", 6, 7),
    // Record 8 (TimeSourceCB's visibility also applies to TimeSourceLB).
    menuRow<MenuItem::MenuMooredTimeUpdate>("MenuMooredTimeUpdate.Visible", 8, 0),
    {"MenuMooredTimeUpdate.Checked", 8, 1, 1, flag,
     [](const HostSession& s, int) -> int {
         return s.clockAndSleep().timeSync().MenuMooredTimeUpdate;
     },
     [](HostSetupApply& a, int, int v) { a.clock().restoreMooredTimeUpdate(v != 0); }},
    {"TimeSourceCB.Visible", 8, 2, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).TimeSourceCB.visible; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().TimeSourceCB.visible = v != 0; }},
    {"TimeSourceCB", 8, 3, 1, items<kTimeSourceCount>,
     [](const HostSession& s, int) { return lcOf(s).TimeSourceCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().TimeSourceCB.index = v; }},
    // Record 9: CBAutoStart is shown, and checked from this field.
    {"CBAutoStart.Shown", 9, 3, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).CBAutoStart.checked; },
     [](HostSetupApply& a, int, int v) {
         a.loggerControl().CBAutoStart.visible = true;
         a.loggerControl().CBAutoStart.checked = v != 0;
     }},
    menuRow<MenuItem::MenuLoggerPortSetup>("MenuLoggerPortSetup.Visible", 10, 7),
    // Record 13: the extraction choice and the live display's three choices.
    {"ExtractFilesRG", 13, 0, 1, items<kExtractItems>,
     [](const HostSession& s, int) { return keptOf(s).ExtractFilesRG; },
     [](HostSetupApply& a, int, int v) { a.kept().ExtractFilesRG = v; }},
    {"RawSourceCB", 13, 1, 1, itemsOrFirst<kRawSourceItems>,
     [](const HostSession& s, int) { return s.linkPorts().realTime().RawSourceCB; },
     [](HostSetupApply& a, int, int v) { a.rawSource = v; }},
    {"RawMuxIDUD", 13, 2, 1, spin<kRawMuxIdRange>,
     [](const HostSession& s, int) { return s.linkPorts().realTime().RawMuxIDUD; },
     [](HostSetupApply& a, int, int v) { a.rawMuxId = v; }},
    {"RawPortCB", 13, 3, 1, itemsOrFirst<kRawPortItems>,
     [](const HostSession& s, int) { return s.linkPorts().realTime().RawPortCB; },
     [](HostSetupApply& a, int, int v) { a.rawPort = v; }},
    // Record 14: the PC-logger rate, applied as its click handler does.
    {"UDDeckRate", 14, 0, 1, spin<kDeckRateRange>,
     [](const HostSession& s, int) { return s.pcLoggerControl().form().UDDeckRate; },
     [](HostSetupApply& a, int, int v) { a.deckRateClick(v); }},
    {"CBRecordPCTime", 14, 1, 1, flag,
     [](const HostSession& s, int) -> int { return s.pcLoggerControl().form().CBRecordPCTime; },
     [](HostSetupApply& a, int, int v) { a.pcForm().CBRecordPCTime = v != 0; }},
    // Records 15..19: the PC-logger slots 1..8.
    {"DeckPort#CB", 15, 0, kPcSlotCount, itemsOrFirst<kComBoxItemCount>,
     [](const HostSession& s, int k) { return pcRow(s, k).DeckPortCB; },
     [](HostSetupApply& a, int k, int v) { a.pcForm().rows[at(k)].DeckPortCB = v; }},
    {"DeckSetup#CB", 16, 0, kPcSlotCount, itemsOrFirst<kLineChoiceItems>,
     [](const HostSession& s, int k) { return pcRow(s, k).DeckSetupCB; },
     [](HostSetupApply& a, int k, int v) { a.pcForm().rows[at(k)].DeckSetupCB = v; }},
    {"PortType#CB", 17, 0, kPcSlotCount, itemsOrFirst<kPcPortTypes>,
     [](const HostSession& s, int k) { return pcRow(s, k).PortTypeCB; },
     [](HostSetupApply& a, int k, int v) { a.pcForm().rows[at(k)].PortTypeCB = v; }},
    {"UDDeckType#", 18, 0, kPcSlotCount, spin<kSourceIdRange>,
     [](const HostSession& s, int k) { return pcRow(s, k).UDDeckType; },
     [](HostSetupApply& a, int k, int v) { a.pcForm().rows[at(k)].UDDeckType = v; }},
    {"UDOutPort#", 19, 0, kPcSlotCount, spin<kSourcePortRange>,
     [](const HostSession& s, int k) { return pcRow(s, k).UDOutPort; },
     [](HostSetupApply& a, int k, int v) { a.pcForm().rows[at(k)].UDOutPort = v; }},
    // Record 20: each replay control keeps its own visibility; then the speed.
    replayRow<&ReplayControlsVisibility::ReplayArchiveBT>("ReplayArchiveBT.Visible", 2),
    replayRow<&ReplayControlsVisibility::ReplayContinuousBT>("ReplayContinuousBT.Visible", 3),
    replayRow<&ReplayControlsVisibility::ReplaySpeedLB1>("ReplaySpeedLB1.Visible", 4),
    replayRow<&ReplayControlsVisibility::ReplaySpeedLB2>("ReplaySpeedLB2.Visible", 5),
    replayRow<&ReplayControlsVisibility::ReplaySpeedUD>("ReplaySpeedUD.Visible", 6),
    replayRow<&ReplayControlsVisibility::ReplaySpeedEdit>("ReplaySpeedEdit.Visible", 7),
    {"ReplaySpeedUD", 20, 8, 1, spin<kReplaySpeedRange>,
     [](const HostSession& s, int) { return s.recorder().state().replaySpeed; },
     [](HostSetupApply& a, int, int v) { a.setReplaySpeed(v); }},
    // Record 21 (each visibility also applies to the box's label).
    {"ModeCB.Visible", 21, 0, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).ModeCB.visible; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().ModeCB.visible = v != 0; }},
    {"ModeCB", 21, 1, 1, items<kModeCount>,
     [](const HostSession& s, int) { return lcOf(s).ModeCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().ModeCB.index = v; }},
    {"FileCB.Visible", 21, 2, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).FileCB.visible; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().FileCB.visible = v != 0; }},
    {"FileCB", 21, 3, 1, items<kFileFormatCount>,
     [](const HostSession& s, int) { return lcOf(s).FileCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().FileCB.index = v; }},
    {"OutputCB.Visible", 21, 4, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).OutputCB.visible; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().OutputCB.visible = v != 0; }},
    {"OutputCB", 21, 5, 1, items<kOutputFormatCount>,
     [](const HostSession& s, int) { return lcOf(s).OutputCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().OutputCB.index = v; }},
    // Records 23..29: the Port Setup page, each control from its own field.
    {"ComboMeter#", 23, 0, kLoggerPortCount, items<kMeterTypeCount>,
     [](const HostSession& s, int k) { return psOf(s).ComboMeter[at(k)].index; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().ComboMeter[at(k)].index = v; }},
    {"CBPort#Setup", 24, 0, kLoggerPortCount, items<kPortSetupCount>,
     [](const HostSession& s, int k) { return psOf(s).CBPortSetup[at(k)].index; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().CBPortSetup[at(k)].index = v; }},
    {"SOPH#", 25, 0, kLoggerPortCount, flag,
     [](const HostSession& s, int k) -> int { return psOf(s).SOPH[at(k)].checked; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().SOPH[at(k)].checked = v != 0; }},
    {"CBAnalog#", 26, 0, kAnalogChannelCount, analogItems,
     [](const HostSession& s, int k) { return psOf(s).CBAnalog[at(k)].index; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().CBAnalog[at(k)].index = v; }},
    {"AOPH#", 27, 0, kAnalogChannelCount, flag,
     [](const HostSession& s, int k) -> int { return psOf(s).AOPH[at(k)].checked; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().AOPH[at(k)].checked = v != 0; }},
    {"CBPump#", 28, 0, kPumpPortCount, pumpItems,
     [](const HostSession& s, int k) { return psOf(s).CBPump[at(k)].index; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().CBPump[at(k)].index = v; }},
    {"POPH#", 29, 0, kPumpPortCount, flag,
     [](const HostSession& s, int k) -> int { return psOf(s).POPH[at(k)].checked; },
     [](HostSetupApply& a, int k, int v) { a.portSetup().POPH[at(k)].checked = v != 0; }},
    // Record 30; the two spinners' labels follow once the record is read.
    {"UDAnalogRate", 30, 0, 1, spin<kAnalogRateRange>,
     [](const HostSession& s, int) { return lcOf(s).UDAnalogRate; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().UDAnalogRate = v; }},
    {"UDLVCutOff", 30, 1, 1, spin<kLowVoltageRange>,
     [](const HostSession& s, int) { return lcOf(s).UDLVCutOff; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().UDLVCutOff = v; }},
    {"CBAutoStart", 30, 2, 1, flag,
     [](const HostSession& s, int) -> int { return lcOf(s).CBAutoStart.checked; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().CBAutoStart.checked = v != 0; }},
    {"DandTCB", 30, 3, 1, flag, [](const HostSession& s, int) -> int { return keptOf(s).DandTCB; },
     [](HostSetupApply& a, int, int v) { a.kept().DandTCB = v != 0; }},
    // Records 31..33: Delay, PreFlush, Warmup, Flush, Sample, Interval (# = 1..6). The edit box
    // and its spinner show the same number; the edit's text, stored second, wins.
    {"Duration#UD", 31, 0, kDurationCount, durationSpin,
     [](const HostSession& s, int k) { return lcOf(s).durations[at(k)].number; },
     [](HostSetupApply& a, int k, int v) { a.loggerControl().durations[at(k)].number = v; }},
    {"Duration#Edit", 32, 0, kDurationCount, durationSpin,
     [](const HostSession& s, int k) { return lcOf(s).durations[at(k)].number; },
     [](HostSetupApply& a, int k, int v) { a.loggerControl().durations[at(k)].number = v; }},
    {"Duration#Combo", 33, 0, kDurationCount, items<kDurationUnitCount>,
     [](const HostSession& s, int k) { return lcOf(s).durations[at(k)].unit; },
     [](HostSetupApply& a, int k, int v) { a.loggerControl().durations[at(k)].unit = v; }},
    // Record 34: the selections again, applied last.
    {"ModeCB.Final", 34, 0, 1, items<kModeCount>,
     [](const HostSession& s, int) { return lcOf(s).ModeCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().ModeCB.index = v; }},
    {"FileCB.Final", 34, 1, 1, items<kFileFormatCount>,
     [](const HostSession& s, int) { return lcOf(s).FileCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().FileCB.index = v; }},
    {"OutputCB.Final", 34, 2, 1, items<kOutputFormatCount>,
     [](const HostSession& s, int) { return lcOf(s).OutputCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().OutputCB.index = v; }},
    {"TimeSourceCB.Final", 34, 3, 1, items<kTimeSourceCount>,
     [](const HostSession& s, int) { return lcOf(s).TimeSourceCB.index; },
     [](HostSetupApply& a, int, int v) { a.loggerControl().TimeSourceCB.index = v; }},
};

// What a whole record decides together, run right after the record.
struct AfterRecord {
    int record;
    void (*run)(HostSetupApply&);
};
const AfterRecord kAfterRecord[] = {
    {1, [](HostSetupApply& a) { a.restoreLoggerPort(); }},
    {3, [](HostSetupApply& a) { a.geometryLoaded(); }},
    // The moored layout (sample interval and Sleep) follows the restored host mode.
    {6,
     [](HostSetupApply& a) {
         const bool moored = isMooredHostMode(a.s.activeHostMode());
         a.loggerControl().duration(Duration::SampleInterval).visible = moored;
         a.loggerControl().BTSleepVisible = moored;
     }},
    // As RawPortCB's change handler does: the display follows the three choices.
    {13, [](HostSetupApply& a) { a.showRawDisplay(); }},
    {30,
     [](HostSetupApply& a) {
         rateStepped(a.forms());
         lowVoltageStepped(a.forms());
     }},
};

std::int16_t v16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}

// The row of `control` and the number of the control in its run (1 when not a run).
std::optional<std::pair<const HostSetupRow*, int>> rowOf(std::string_view control) {
    for (const HostSetupRow& row : kRows) {
        const std::string_view pattern = row.control;
        const auto hash = pattern.find('#');
        if (hash == std::string_view::npos) {
            if (pattern == control)
                return std::pair{&row, 1};
            continue;
        }
        const std::string_view head = pattern.substr(0, hash);
        const std::string_view tail = pattern.substr(hash + 1);
        if (control.size() <= head.size() + tail.size() || !control.starts_with(head) ||
            !control.ends_with(tail))
            continue;
        const std::string_view digits =
            control.substr(head.size(), control.size() - head.size() - tail.size());
        int number = 0;
        for (char c : digits) {
            if (c < '0' || c > '9' || number > row.count)
                return std::nullopt;
            number = number * 10 + (c - '0');
        }
        if (number >= 1 && number <= row.count)
            return std::pair{&row, number};
    }
    return std::nullopt;
}

}  // namespace

std::optional<HostSetupPlace> hostSetupPlace(std::string_view control) {
    const auto found = rowOf(control);
    if (!found)
        return std::nullopt;
    return HostSetupPlace{found->first->record, found->first->field + found->second - 1};
}

std::vector<std::string> hostSetupControls() {
    std::vector<std::string> names;
    for (const HostSetupRow& row : kRows) {
        const std::string pattern = row.control;
        const auto hash = pattern.find('#');
        for (int n = 1; n <= row.count; ++n) {
            names.push_back(hash == std::string::npos
                                ? pattern
                                : pattern.substr(0, hash) + std::to_string(n) +
                                      pattern.substr(hash + 1));
        }
    }
    return names;
}

HostSetup captureHostSetup(const HostSession& s) {
    HostSetup f;
    for (const HostSetupRow& row : kRows) {
        for (int k = 0; k < row.count; ++k)
            f.setValue(row.record, row.field + k, v16(row.read(s, k)));
    }
    return f;
}

void applyHostSetup(HostSession& session, const HostSetup& setup, bool openedFromMenu) {
    HostSetupApply a{session, openedFromMenu, setup.hasHostPortSetup};
    // Record by record, each finished before the next starts: later records read what earlier
    // ones selected (the logger port reopens with record 1's boxes, record 34 overrides
    // record 21's selections, the PC-logger ports open only after all their boxes).
    for (int record = 1; record <= kHostSetupRecordCount; ++record) {
        for (const HostSetupRow& row : kRows) {
            if (row.record != record || row.write == nullptr)
                continue;
            for (int k = 0; k < row.count; ++k)
                row.write(a, k, fitted(row.bounds(k), setup.value(record, row.field + k)));
        }
        for (const AfterRecord& after : kAfterRecord) {
            if (after.record == record)
                after.run(a);
        }
    }
    a.finish();
}

bool loadHostSetupInto(HostSession& session, const std::filesystem::path& path,
                       bool openedFromMenu) {
    const HostSetupLoad load = loadHostSetup(path, session.noticeOperator());
    switch (load.result) {
        case HostSetupLoadResult::Loaded:
            applyHostSetup(session, *load.setup, openedFromMenu);
            return true;
        case HostSetupLoadResult::Unreadable:
            return true;
        case HostSetupLoadResult::Missing:
        case HostSetupLoadResult::Invalid:
            break;
    }
    return false;
}

std::optional<FileError> storeHostSetupFrom(const HostSession& session,
                                            const std::filesystem::path& path) {
    return storeHostSetup(path, captureHostSetup(session)).error;
}

}  // namespace cvh
