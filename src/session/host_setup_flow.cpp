#include "session/host_setup_flow.h"

#include <algorithm>
#include <cstdint>

#include "config/logger_setup.h"
#include "link/port_manager.h"
#include "session/host_session.h"
#include "session/pc_logger_setup.h"
#include "session/setup_exchange.h"

namespace cvh {

namespace {

constexpr int kRawSourceItems = 3;    // "Parsed Data", "Raw Logger Data", "Raw PC Logger Data"
constexpr int kRawPortItems = 9;      // "Display Port 1".."Display Port 8", "All Analog Data"
constexpr int kExtractItems = 2;      // "CV Archive", "CV Archive Plus Raw Files"
constexpr int kLineChoiceItems = 12;  // "OFF" .. "115200"
constexpr SpinRange kRawMuxIdRange{1, 4, 1, 2};
constexpr SpinRange kDeckRateRange{1, 20, 1, 1};
constexpr SpinRange kSourceIdRange{1, 4, 1, 2};
constexpr SpinRange kSourcePortRange{1, 9, 1, 1};
constexpr SpinRange kReplaySpeedRange{1, 10, 1, 1};

std::int16_t v16(int v) {
    return static_cast<std::int16_t>(std::clamp(v, -32768, 32767));
}
std::int16_t v16(bool b) {
    return b ? 1 : 0;
}

// An item index a list can show: anything beyond the list selects nothing.
int item(int stored, int count) {
    return stored >= -1 && stored < count ? stored : -1;
}
// A list that always has an item chosen (the port boxes): anything else is its first item.
int itemOrFirst(int stored, int count) {
    return stored >= 0 && stored < count ? stored : 0;
}
int position(int stored, const SpinRange& range) {
    return std::clamp(stored, range.min, range.max);
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

bool pageShown(const HostSession& s, Page p) {
    return s.main().pageVisible[at(pageIndex(p))];
}

void applyPcPortBoxes(PcLoggerForm& form, const HostSetup& f) {
    for (int k = 0; k < kPcSlotCount; ++k) {
        auto& row = form.rows[at(k)];
        row.DeckPortCB = itemOrFirst(f.deckPort[at(k)], kComBoxItemCount);
        row.DeckSetupCB = itemOrFirst(f.deckSetup[at(k)], kLineChoiceItems);
        row.PortTypeCB = itemOrFirst(f.portType[at(k)], int(kPcPortTypeItems.size()));
    }
}

void applyPcPortSpinners(PcLoggerForm& form, const HostSetup& f) {
    for (int k = 0; k < kPcSlotCount; ++k) {
        auto& row = form.rows[at(k)];
        row.UDDeckType = position(f.deckType[at(k)], kSourceIdRange);
        row.UDOutPort = position(f.outPort[at(k)], kSourcePortRange);
    }
}

void applyPortSetupRows(PortSetupForm& ps, const HostSetup& f) {
    for (int k = 0; k < kLoggerPortCount; ++k) {
        ps.ComboMeter[at(k)].index = item(f.meterType[at(k)], kMeterTypeCount);
        ps.CBPortSetup[at(k)].index = item(f.portSetup[at(k)], kPortSetupCount);
        ps.SOPH[at(k)].checked = f.serialOncePerHour[at(k)] != 0;
    }
    for (int k = 0; k < kAnalogChannelCount; ++k) {
        ps.CBAnalog[at(k)].index = item(f.analog[at(k)], analogSettingCount());
        ps.AOPH[at(k)].checked = f.analogOncePerHour[at(k)] != 0;
    }
    for (int k = 0; k < kPumpPortCount; ++k) {
        ps.CBPump[at(k)].index = item(f.pump[at(k)], pumpSettingCount(k + 1));
        ps.POPH[at(k)].checked = f.pumpOncePerHour[at(k)] != 0;
    }
}

// The edit box and the spinner hold the same number; the edit's text, stored second, wins.
void applySampling(LoggerControlForm& lc, const HostSetup& f) {
    for (int d = 0; d < kDurationCount; ++d) {
        auto& duration = lc.durations[at(d)];
        duration.number = position(f.samplingPosition[at(d)], kDurationRanges[at(d)]);
        duration.number = position(f.samplingEdit[at(d)], kDurationRanges[at(d)]);
        duration.unit = item(f.samplingUnit[at(d)], kDurationUnitCount);
    }
}

// Record 20 in the file's order; each control keeps its own visibility.
void applyReplayControls(ReplayControlsVisibility& v, const HostSetup& f) {
    bool* const shown[] = {&v.ReplayArchiveBT, &v.ReplayContinuousBT, &v.ReplaySpeedLB1,
                           &v.ReplaySpeedLB2,  &v.ReplaySpeedUD,      &v.ReplaySpeedEdit};
    for (std::size_t i = 0; i < f.replayVisible.size(); ++i)
        *shown[i] = f.replayVisible[i] != 0;
}

}  // namespace

// The conductor's friend for the apply: it reaches every controller's state with a key.
struct HostSetupApply {
    static void step(HostSession& s, HostSetupStep step, const HostSetup& f, bool openedFromMenu);
    static void windowStep(HostSession& s, HostSetupStep step, const HostSetup& f,
                           bool openedFromMenu);
    static void pageStep(HostSession& s, HostSetupStep step, const HostSetup& f);
    static void finish(HostSession& s) { s.marks_.mark(Area::Layout); }
};

void HostSetupApply::step(HostSession& s, HostSetupStep step, const HostSetup& f,
                          bool openedFromMenu) {
    // Records 1 to 10 arrange the window; the later ones fill its pages.
    if (step <= HostSetupStep::LoggerPortMenu)
        windowStep(s, step, f, openedFromMenu);
    else
        pageStep(s, step, f);
}

void HostSetupApply::windowStep(HostSession& s, HostSetupStep step, const HostSetup& f,
                                bool openedFromMenu) {
    const SessionKey key;
    auto& ps = s.setup_.edit(key).portSetup;
    auto& lc = s.setup_.edit(key).loggerControl;
    auto& menu = s.main_.edit();
    auto& controls = s.hostSetup_.edit(key);
    switch (step) {
        case HostSetupStep::LoggerPort: {
            const LoggerPortRestore r =
                restoreLoggerPort(f, openedFromMenu, s.portView().loggerPortIndex);
            if (r.selectLoggerPort)
                s.link_.selectLoggerPort(itemOrFirst(r.loggerPortIndex, kComBoxItemCount),
                                         itemOrFirst(r.loggerSetupIndex, kLineChoiceItems));
            if (r.hostPortSetupIndex)
                ps.CBHostPortSetup.index = item(*r.hostPortSetupIndex, kHostPortSetupCount);
            s.markSetup(0);
            break;
        }
        case HostSetupStep::HostMode:
            s.selectHostMode(static_cast<HostMode>(f.activeHostMode));
            // Drains the logger port and the packet assembly, then reopens the port from the
            // boxes as they stand now (a PC-Logger mode has just emptied them).
            s.link_.loggerPortChange(s.portView().loggerPortIndex, s.portView().loggerSetupIndex);
            break;
        case HostSetupStep::WindowGeometry:
            controls.geometry = {std::clamp<int>(f.windowState, 0, 2), f.windowHeight,
                                 f.windowWidth};
            s.hostSetup_.geometryLoaded();
            break;
        case HostSetupStep::MenuItems: {
            menu.item(MenuItem::Menukb5PassThru).visible = f.menuKb5PassThruVisible != 0;
            menu.item(MenuItem::MenuAnnotateFile).visible = f.menuAnnotateFileVisible != 0;
            menu.item(MenuItem::MenuLoggerTimeUpdate).visible = f.menuLoggerTimeUpdateVisible != 0;
            menu.item(MenuItem::MenuAutoTimeUpdate).visible = f.menuAutoTimeUpdateVisible != 0;
            s.clockAndSleep_.restoreAutoTimeUpdate(f.menuAutoTimeUpdateChecked != 0);
            menu.item(MenuItem::MenuUpdateTimeNow).visible = f.menuUpdateTimeNowVisible != 0;
            menu.item(MenuItem::MenuChangeLoggerID).visible = f.menuChangeLoggerIdVisible != 0;
            // The moored layout (sample interval and Sleep) follows the restored host mode.
            const bool moored = isMooredHostMode(s.activeHostMode());
            lc.duration(Duration::SampleInterval).visible = moored;
            lc.BTSleepVisible = moored;
            break;
        }
        case HostSetupStep::MooredTimeSource:
            menu.item(MenuItem::MenuMooredTimeUpdate).visible = f.menuMooredTimeUpdateVisible != 0;
            s.clockAndSleep_.restoreMooredTimeUpdate(f.menuMooredTimeUpdateChecked != 0);
            lc.TimeSourceCB.visible = f.timeSourceVisible != 0;
            lc.TimeSourceCB.index = item(f.timeSourceIndex, kTimeSourceCount);
            break;
        case HostSetupStep::AutoStart:
            lc.CBAutoStart.visible = true;
            lc.CBAutoStart.checked = f.autoStartShownChecked != 0;
            break;
        case HostSetupStep::LoggerPortMenu:
            menu.item(MenuItem::MenuLoggerPortSetup).visible = f.menuLoggerPortSetupVisible != 0;
            break;
        default:
            break;
    }
}

void HostSetupApply::pageStep(HostSession& s, HostSetupStep step, const HostSetup& f) {
    const SessionKey key;
    auto& pc = s.pcLogger();
    auto& ps = s.setup_.edit(key).portSetup;
    auto& lc = s.setup_.edit(key).loggerControl;
    auto& controls = s.hostSetup_.edit(key);
    switch (step) {
        case HostSetupStep::RawDisplay:
            controls.ExtractFilesRG = item(f.extractFilesIndex, kExtractItems);
            // As RawPortCB's change handler does: the display follows the three choices.
            s.link_.rawPortChange(itemOrFirst(f.rawSourceIndex, kRawSourceItems),
                                  itemOrFirst(f.rawPortIndex, kRawPortItems),
                                  position(f.rawMuxId, kRawMuxIdRange));
            break;
        case HostSetupStep::DeckRate:
            s.pcLogger_.deckRateClick(position(f.deckRate, kDeckRateRange));
            pc.form.CBRecordPCTime = f.recordPcTime != 0;
            break;
        case HostSetupStep::PcPortBoxes:
            applyPcPortBoxes(pc.form, f);
            break;
        case HostSetupStep::PcPortSpinners:
            applyPcPortSpinners(pc.form, f);
            break;
        case HostSetupStep::ReplayControls:
            applyReplayControls(s.replayControls_.edit(), f);
            s.recorder_.setReplaySpeed(position(f.replaySpeed, kReplaySpeedRange));
            break;
        case HostSetupStep::ModeBoxes:
            lc.ModeCB = {item(f.modeIndex, kModeCount), f.modeVisible != 0};
            lc.FileCB = {item(f.fileIndex, kFileFormatCount), f.fileVisible != 0};
            lc.OutputCB = {item(f.outputIndex, kOutputFormatCount), f.outputVisible != 0};
            break;
        case HostSetupStep::PortSetupRows:
            applyPortSetupRows(ps, f);
            break;
        case HostSetupStep::AnalogRate:
            lc.UDAnalogRate = position(f.analogRate, kAnalogRateRange);
            lc.UDLVCutOff = position(f.lvCutOff, kLowVoltageRange);
            lc.CBAutoStart.checked = f.autoStart != 0;
            controls.DandTCB = f.dateAndTime != 0;
            rateStepped(s.setup_.edit(key));
            lowVoltageStepped(s.setup_.edit(key));
            break;
        case HostSetupStep::Sampling:
            applySampling(lc, f);
            break;
        case HostSetupStep::ModeSelections:
            lc.ModeCB.index = item(f.finalModeIndex, kModeCount);
            lc.FileCB.index = item(f.finalFileIndex, kFileFormatCount);
            lc.OutputCB.index = item(f.finalOutputIndex, kOutputFormatCount);
            lc.TimeSourceCB.index = item(f.finalTimeSourceIndex, kTimeSourceCount);
            break;
        case HostSetupStep::PcLoggerReload:
            // The PC ports open only now, with every box of their rows restored.
            pc.slotRowChanged();
            pc.loadPcSetup();
            s.marks_.mark(Area::PcLogger);
            break;
        default:
            break;
    }
}

namespace {

// Records 1 to 10: the logger port, the mode, the window and its menus.
void captureWindow(const HostSession& s, HostSetup& f) {
    const auto& menu = s.main();
    const auto& lc = s.setupExchange().forms().loggerControl;
    const auto& geometry = s.hostSetupStore().controls().geometry;
    const auto& timeSync = s.clockAndSleep().timeSync();
    auto shown = [&](MenuItem m) { return v16(menu.item(m).visible); };

    f.loggerPortIndex = v16(s.portView().loggerPortIndex);
    f.loggerSetupIndex = v16(s.portView().loggerSetupIndex);
    f.hostPortSetupIndex = v16(s.setupExchange().forms().portSetup.CBHostPortSetup.index);
    f.hasHostPortSetup = true;
    f.activeHostMode = v16(hostModeNumber(s.activeHostMode()));
    f.windowState = v16(geometry.state);
    f.windowHeight = v16(geometry.height);
    f.windowWidth = v16(geometry.width);

    f.tabPortSetup = v16(pageShown(s, Page::PortSetup));
    f.tabLoggerControl = v16(pageShown(s, Page::LoggerControl));
    f.tabDataStatus = v16(pageShown(s, Page::DataStatus));
    f.tabUpload = v16(pageShown(s, Page::Upload));
    f.tabRealTime = v16(pageShown(s, Page::RealTime));
    f.tabRecord = v16(pageShown(s, Page::Record));
    f.tabPcLogger = v16(pageShown(s, Page::PCLogger));
    f.tabPlotSetup = v16(pageShown(s, Page::PlotSetup));
    f.tabHardware = v16(pageShown(s, Page::Hardware));
    f.tabAnalog = v16(pageShown(s, Page::Analog));

    f.menuKb5PassThruVisible = shown(MenuItem::Menukb5PassThru);
    f.menuAnnotateFileVisible = shown(MenuItem::MenuAnnotateFile);
    f.menuLoggerTimeUpdateVisible = shown(MenuItem::MenuLoggerTimeUpdate);
    f.menuAutoTimeUpdateVisible = shown(MenuItem::MenuAutoTimeUpdate);
    f.menuAutoTimeUpdateChecked = v16(timeSync.MenuAutoTimeUpdate);
    f.menuUpdateTimeNowVisible = shown(MenuItem::MenuUpdateTimeNow);
    f.menuChangeLoggerIdVisible = shown(MenuItem::MenuChangeLoggerID);

    f.menuMooredTimeUpdateVisible = shown(MenuItem::MenuMooredTimeUpdate);
    f.menuMooredTimeUpdateChecked = v16(timeSync.MenuMooredTimeUpdate);
    f.timeSourceVisible = v16(lc.TimeSourceCB.visible);
    f.timeSourceIndex = v16(lc.TimeSourceCB.index);
    f.autoStartShownChecked = v16(lc.CBAutoStart.checked);
    f.menuLoggerPortSetupVisible = shown(MenuItem::MenuLoggerPortSetup);
}

// Records 13 to 20: the live display, the PC logger and the replay controls.
void captureLiveAndPcLogger(const HostSession& s, HostSetup& f) {
    const auto& pc = s.pcLoggerControl().form();
    const auto& realTime = s.linkPorts().realTime();
    f.extractFilesIndex = v16(s.hostSetupStore().controls().ExtractFilesRG);
    f.rawSourceIndex = v16(realTime.RawSourceCB);
    f.rawMuxId = v16(realTime.RawMuxIDUD);
    f.rawPortIndex = v16(realTime.RawPortCB);

    f.deckRate = v16(pc.UDDeckRate);
    f.recordPcTime = v16(pc.CBRecordPCTime);
    for (int k = 0; k < kPcSlotCount; ++k) {
        const auto& row = pc.rows[at(k)];
        f.deckPort[at(k)] = v16(row.DeckPortCB);
        f.deckSetup[at(k)] = v16(row.DeckSetupCB);
        f.portType[at(k)] = v16(row.PortTypeCB);
        f.deckType[at(k)] = v16(row.UDDeckType);
        f.outPort[at(k)] = v16(row.UDOutPort);
    }

    const ReplayControlsVisibility& replay = s.replayControls();
    f.replayVisible = {v16(replay.ReplayArchiveBT), v16(replay.ReplayContinuousBT),
                       v16(replay.ReplaySpeedLB1),  v16(replay.ReplaySpeedLB2),
                       v16(replay.ReplaySpeedUD),   v16(replay.ReplaySpeedEdit)};
    f.replaySpeed = v16(s.recorder().state().replaySpeed);
}

// Records 21 to 34: the two setup pages.
void captureSetupPages(const HostSession& s, HostSetup& f) {
    const auto& ps = s.setupExchange().forms().portSetup;
    const auto& lc = s.setupExchange().forms().loggerControl;
    f.modeVisible = v16(lc.ModeCB.visible);
    f.modeIndex = v16(lc.ModeCB.index);
    f.fileVisible = v16(lc.FileCB.visible);
    f.fileIndex = v16(lc.FileCB.index);
    f.outputVisible = v16(lc.OutputCB.visible);
    f.outputIndex = v16(lc.OutputCB.index);

    for (int k = 0; k < kLoggerPortCount; ++k) {
        f.meterType[at(k)] = v16(ps.ComboMeter[at(k)].index);
        f.portSetup[at(k)] = v16(ps.CBPortSetup[at(k)].index);
        f.serialOncePerHour[at(k)] = v16(ps.SOPH[at(k)].checked);
    }
    for (int k = 0; k < kAnalogChannelCount; ++k) {
        f.analog[at(k)] = v16(ps.CBAnalog[at(k)].index);
        f.analogOncePerHour[at(k)] = v16(ps.AOPH[at(k)].checked);
    }
    for (int k = 0; k < kPumpPortCount; ++k) {
        f.pump[at(k)] = v16(ps.CBPump[at(k)].index);
        f.pumpOncePerHour[at(k)] = v16(ps.POPH[at(k)].checked);
    }

    f.analogRate = v16(lc.UDAnalogRate);
    f.lvCutOff = v16(lc.UDLVCutOff);
    f.autoStart = v16(lc.CBAutoStart.checked);
    f.dateAndTime = v16(s.hostSetupStore().controls().DandTCB);
    for (int d = 0; d < kDurationCount; ++d) {
        const auto& duration = lc.durations[at(d)];
        // The edit box and its spinner show the same number.
        f.samplingPosition[at(d)] = v16(duration.number);
        f.samplingEdit[at(d)] = v16(duration.number);
        f.samplingUnit[at(d)] = v16(duration.unit);
    }
    f.finalModeIndex = v16(lc.ModeCB.index);
    f.finalFileIndex = v16(lc.FileCB.index);
    f.finalOutputIndex = v16(lc.OutputCB.index);
    f.finalTimeSourceIndex = v16(lc.TimeSourceCB.index);
}

}  // namespace

HostSetup captureHostSetup(const HostSession& s) {
    HostSetup f;
    captureWindow(s, f);
    captureLiveAndPcLogger(s, f);
    captureSetupPages(s, f);
    return f;
}

void applyHostSetup(HostSession& session, const HostSetup& setup, bool openedFromMenu) {
    for (const HostSetupApplyStep& step : hostSetupApplyOrder())
        HostSetupApply::step(session, step.step, setup, openedFromMenu);
    HostSetupApply::finish(session);
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
