#include "session/setup_exchange.h"

#include <algorithm>

#include "base/cformat.h"

namespace cvh {

namespace {

// A list given a value outside its entries shows no selection, so Send Setup stays refused
// until the operator picks one.
int listIndex(int value, int count) {
    return value >= 0 && value < count ? value : -1;
}

std::size_t at(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

PortSetupForm::PortSetupForm() {
    for (int i = 0; i < kLoggerPortCount; ++i)
        LBS[at(i)].caption = cformat("Port %d:", i + 1);
    for (int i = 0; i < kAnalogChannelCount; ++i) {
        LBAnalogRow[at(i)].caption = cformat("Port %d", i + 9);
        CBAnalog[at(i)].index = 0;
    }
    for (int i = 0; i < kPumpPortCount; ++i) {
        LBPumpRow[at(i)].caption = cformat("Port %d", i + 16);
        CBPump[at(i)].index = 0;
    }
    forEachOncePerHourBox(*this, [](CheckState& b, int) { b.visible = false; });
}

LoggerControlForm::LoggerControlForm() {
    for (int d = 0; d < kDurationCount; ++d)
        durations[at(d)].number = kDurationRanges[at(d)].initial;
    duration(Duration::SampleInterval).visible = false;
    TimeSourceCB.index = 0;
    TimeSourceCB.visible = false;
    refreshAnalogRateLabel(*this);
}

void markSetup(LabelState& PStore, int code) {
    if (code == 0) {
        PStore.caption = "Setup is Not Current";
        PStore.colour = Colour::Yellow;
    } else if (code == 1) {
        PStore.caption = "Setup is Current";
        PStore.colour = Colour::Silver;
    }
}

CommandRequest getSetupCommand() {
    return {CommandCode::GetSetup, 0, 0};
}

CommandRequest beginSampleCommand() {
    return {CommandCode::BeginSample, 0, 0};
}

std::optional<CommandRequest> setupRereadCommand(OperationCode loggerOperationCode, Operator& op) {
    if (takesSetupRequests(loggerOperationCode))
        return getSetupCommand();
    op.notice("Unable to Complete Command",
              "The Logger Must be in Standby before Sending a new Logger Setup", true);
    return std::nullopt;
}

std::string analogRateText(int hz) {
    return cformat("%1d Hz  %4d ms", hz, hz != 0 ? 1000 / hz : 0);
}

Colour analogRateColour(int hz, int fileCBIndex) {
    if (fileCBIndex <= 0)
        return hz <= 10 ? Colour::Silver : Colour::Yellow;
    return hz < 7 ? Colour::Silver : Colour::Red;
}

void refreshAnalogRateLabel(LoggerControlForm& f) {
    showAnalogRate(f, f.UDAnalogRate);
}

void showAnalogRate(LoggerControlForm& f, int hz) {
    f.LBAnalogRate.caption = analogRateText(hz);
    f.LBAnalogRate.colour = analogRateColour(hz, f.FileCB.index);
}

std::string lowVoltageText(int tenths) {
    return cformat("%4.1f V", tenths * 0.1);
}

void applyAnalogRateFloors(SetupForms& forms) {
    int& rate = forms.loggerControl.UDAnalogRate;
    for (int i = 0; i < kLoggerPortCount; ++i) {
        // Only the "OFF" entry switches a port off; a list with nothing chosen yet does not.
        if (forms.portSetup.CBPortSetup[at(i)].index == kPortSetupOff)
            continue;
        const int meter = forms.portSetup.ComboMeter[at(i)].index;
        if (meter == kMeterKb5)
            rate = std::max(rate, 2);
        if (meter == kMeterRmx)
            rate = std::max(rate, 4);
    }
}

bool validateSetupSelections(const SetupForms& forms) {
    const PortSetupForm& p = forms.portSetup;
    const LoggerControlForm& c = forms.loggerControl;
    auto chosen = [](const ComboState& s) { return s.index >= 0; };
    if (!chosen(c.ModeCB) || !chosen(p.CBHostPortSetup) || !chosen(c.OutputCB) || !chosen(c.FileCB))
        return false;
    if (!std::all_of(p.ComboMeter.begin(), p.ComboMeter.end(), chosen) ||
        !std::all_of(p.CBPortSetup.begin(), p.CBPortSetup.end(), chosen) ||
        !std::all_of(p.CBAnalog.begin(), p.CBAnalog.end(), chosen) ||
        !std::all_of(p.CBPump.begin(), p.CBPump.end(), chosen))
        return false;
    return std::all_of(c.durations.begin(), c.durations.end(),
                       [](const DurationState& d) { return d.unit >= 0; });
}

void applyMooredLayout(SetupForms& forms) {
    LoggerControlForm& c = forms.loggerControl;
    PortSetupForm& p = forms.portSetup;
    const LoggerMode mode = loggerModeOf(c.ModeCB.index);
    const bool moored = isMooredMode(mode);
    c.duration(Duration::SampleInterval).visible = moored;
    c.BTSleepVisible = moored;
    if (moored) {
        applyOncePerHourColumn(p, true);
    } else {
        forEachOncePerHourBox(p, [](CheckState& b, int) { b = {false, false}; });
        p.SOPHLBVisible = p.AOPHLBVisible = p.POPHLBVisible = false;
    }
    c.ButtonVisible.fill(mode == LoggerMode::PolledMoored);
}

void setupValueChanged(SetupForms& forms) {
    markSetup(forms.PStore, 0);
    applyAnalogRateFloors(forms);
    refreshAnalogRateLabel(forms.loggerControl);
}

void rateStepped(SetupForms& forms) {
    refreshAnalogRateLabel(forms.loggerControl);
    markSetup(forms.PStore, 0);
}

void delayStepped(SetupForms& forms) {
    markSetup(forms.PStore, 0);
}

void oncePerHourToggled(SetupForms& forms) {
    markSetup(forms.PStore, 0);
}

void timeSourceChanged(SetupForms& forms) {
    markSetup(forms.PStore, 0);
}

void lowVoltageStepped(SetupForms& forms) {
    forms.loggerControl.LBLowVoltage.caption = lowVoltageText(forms.loggerControl.UDLVCutOff);
    markSetup(forms.PStore, 0);
}

void loggerModeChanged(SetupForms& forms) {
    applyMooredLayout(forms);
    markSetup(forms.PStore, 0);
}

ReceivedSetupResult applyReceivedSetup(SetupSnapshot& snapshot, SetupForms& forms,
                                       ModeLabels modeLabels, HostMode activeHostMode,
                                       int loggerDeviceType) {
    PortSetupForm& p = forms.portSetup;
    LoggerControlForm& c = forms.loggerControl;
    const LoggerSetup s = snapshot.decode();
    ReceivedSetupResult result;

    // Durations as number and unit; the spinners hold the number within their range.
    for (int d = 0; d < kDurationCount; ++d) {
        const UnitValue v = secondsToUnitValue(durationField(s, static_cast<Duration>(d)));
        c.durations[at(d)].number = clampToRange(v.number, kDurationRanges[at(d)]);
        c.durations[at(d)].unit = v.unit;
    }
    c.OutputCB.index = listIndex(s.outputFormat, kOutputFormatCount);
    c.FileCB.index = listIndex(s.fileFormat, kFileFormatCount);

    // The host port has no "OFF": an unknown or zero baud is taken as 9600.
    result.hostLineChoice = decodeHostPortSetup(s.baud[0], s.dataBits[0]);
    p.CBHostPortSetup.index = result.hostLineChoice;

    for (int n = 1; n <= kLoggerPortCount; ++n) {
        const int meter = s.meterType[at(n)];
        p.ComboMeter[at(n - 1)].index = listIndex(meter, kMeterTypeCount);
        p.CBPortSetup[at(n - 1)].index =
            (meter == 0 || meter > 13) ? 0 : decodePortSetup(s.baud[at(n)], s.dataBits[at(n)]);
        result.portTypeLabels[at(n - 1)] = meterPortLabel(meter);
    }

    for (int i = 0; i < kAnalogChannelCount; ++i) {
        const int v = s.analogSetting[at(i + 1)];
        p.CBAnalog[at(i)].index = v >= analogSettingCount() ? 0 : v;
    }
    for (int i = 0; i < kPumpPortCount; ++i)
        p.CBPump[at(i)].index = listIndex(s.pumpSetting[at(i)], pumpSettingCount(i + 1));

    c.CBAutoStart.checked = s.autoStart != 0;

    // One cut-off for the whole logger: the highest of the ports in use, at least 6.5 V.
    int cutoff = kLowVoltageRange.min;
    for (int n = 1; n <= kLoggerPortCount; ++n)
        if (s.meterType[at(n)] != 0)
            cutoff = std::max<int>(cutoff, s.lowVoltageCutoff[at(n)]);
    // The labels show what the logger holds; the spinners stop at their limits.
    c.UDLVCutOff = clampToRange(cutoff, kLowVoltageRange);
    c.LBLowVoltage.caption = lowVoltageText(cutoff);

    if (s.analogRateHz < 1) {
        writeLe16(snapshot.mutableBytes(), setup_offset::kAnalogRateHz, 1);
    }
    const int receivedRate = std::max<int>(s.analogRateHz, 1);
    c.UDAnalogRate = clampToRange(receivedRate, kAnalogRateRange);
    showAnalogRate(c, receivedRate);

    forEachOncePerHourBox(
        p, [&](CheckState& b, int bit) { b.checked = (s.oncePerHourMask >> bit) & 1; });
    if (s.oncePerHourMask != 0)
        applyOncePerHourColumn(p, true);

    c.TimeSourceCB.index = listIndex(s.timeSource, kTimeSourceCount);

    c.ModeCB.index = listIndex(s.mode, kModeCount);
    applyMooredLayout(forms);
    showLoggerMode(modeLabels, s.loggerMode(), loggerDeviceType, activeHostMode);
    modeLabels.LoggerMode.visible = true;
    colourModeLabels(modeLabels, activeHostMode, s.loggerMode());

    markSetup(forms.PStore, 1);
    return result;
}

bool loggerPortMustReopen(int openComNumber, int openLineSetting, int chosenComNumber,
                          int chosenLineChoice) {
    return !(openComNumber != 0 && openComNumber == chosenComNumber &&
             openLineSetting == chosenLineChoice);
}

std::optional<std::array<std::uint8_t, kSetupRecordLength>> buildSetupFrame(SetupForms& forms,
                                                                            SetupSnapshot& snapshot,
                                                                            int loggerDeviceType,
                                                                            Operator& op) {
    PortSetupForm& p = forms.portSetup;
    LoggerControlForm& c = forms.loggerControl;

    if (!validateSetupSelections(forms)) {
        op.notice("*** Warning *** 'Send Setup' has been aborted.",
                  "One or more of the Logger Setup Parameters in either Port Setup or Sample "
                  "Setup is invalid.",
                  true);
        return std::nullopt;
    }
    applyAnalogRateFloors(forms);

    LoggerSetup s;
    s.mode = static_cast<std::uint16_t>(c.ModeCB.index);

    // On the devices whose port 1 is the built-in kb5 link, that port always runs at 19200 and
    // is either off, binary, or a kb5.
    s.meterType[0] = 0;
    if (hasKb5LinkOnPortOne(loggerDeviceType)) {
        p.CBPortSetup[0].index = kPortSetup19200;
        const int meter = p.ComboMeter[0].index;
        s.meterType[1] = meter == kMeterOff ? 0 : meter == kMeterBinary ? kMeterBinary : kMeterKb5;
    } else {
        s.meterType[1] = static_cast<std::uint16_t>(p.ComboMeter[0].index);
    }
    for (int n = 2; n <= kLoggerPortCount; ++n)
        s.meterType[at(n)] = static_cast<std::uint16_t>(p.ComboMeter[at(n - 1)].index);

    for (int slot = 0; slot < kSetupPortSlots; ++slot) {
        const int choice = slot == 0 ? p.CBHostPortSetup.index : p.CBPortSetup[at(slot - 1)].index;
        const LineEncoding line = encodePortSetup(s.meterType[at(slot)], choice);
        s.baud[at(slot)] = line.baud;
        s.dataBits[at(slot)] = line.dataBits;
        s.parity[at(slot)] = line.parity;
    }

    s.oncePerHourMask = 0;
    if (isMooredMode(s.loggerMode())) {
        forEachOncePerHourBox(p, [&](const CheckState& b, int bit) {
            if (b.checked)
                s.oncePerHourMask |= 1u << bit;
        });
    }

    // The logger keeps its own clock while moored; the host never sends another source.
    c.TimeSourceCB.index = 0;
    s.timeSource = 0;

    s.analogSetting[0] = 0;
    for (int i = 0; i < kAnalogChannelCount; ++i)
        s.analogSetting[at(i + 1)] = static_cast<std::uint16_t>(p.CBAnalog[at(i)].index);
    for (int i = 0; i < kPumpPortCount; ++i)
        s.pumpSetting[at(i)] = static_cast<std::uint16_t>(p.CBPump[at(i)].index);

    s.lowVoltageCutoff.fill(static_cast<std::uint16_t>(c.UDLVCutOff));

    // Only the real-time and analog modes can sample the analog channels faster than 8 Hz.
    if (s.loggerMode() != LoggerMode::RealTime && s.loggerMode() != LoggerMode::Analog &&
        c.UDAnalogRate > 8)
        c.UDAnalogRate = 8;
    refreshAnalogRateLabel(c);
    s.analogRateHz = static_cast<std::uint16_t>(c.UDAnalogRate);

    s.outputFormat = static_cast<std::uint16_t>(c.OutputCB.index);
    s.fileFormat = static_cast<std::uint16_t>(c.FileCB.index);
    if (s.outputFormat == kOutputRealTimeData && s.fileFormat != 0)
        op.notice("***Warning***",
                  "Using the Logger Output AND Recording Data internally will cause the Logger "
                  "to Turn OFF as the internal memory becomes full!",
                  true);

    for (int d = 0; d < kDurationCount; ++d) {
        const DurationState& v = c.durations[at(d)];
        durationField(s, static_cast<Duration>(d)) =
            static_cast<std::uint32_t>(std::max(v.number, 0)) * unitMultiplier(v.unit);
    }
    s.autoStart = c.CBAutoStart.checked ? 1 : 0;

    snapshot.encode(s);
    std::array<std::uint8_t, kSetupRecordLength> frame{};
    std::copy(snapshot.bytes().begin(), snapshot.bytes().end(), frame.begin());
    return frame;
}

}  // namespace cvh
