// The display-refresh tick: received setup, hardware and status records are applied here once
// each, never in the 10 ms tick that stored them.
#include <algorithm>

#include "base/cformat.h"
#include "config/setup_exchange.h"
#include "session/host_session.h"
#include "session/live_format.h"

namespace cvh {

void HostSession::displayRefreshTick() {
    TickScope scope(*this);
    auto& records = receive_->records();
    if (records.setupPacketPending)
        applyPendingSetup();
    if (records.hardwarePacketPending)
        applyPendingHardware();
    if (records.statusPacketPending)
        showLoggerStatus();
    main.title = titleText;
    if (const auto flash = refreshFlashPanel(records.flashErrorIndicator, statusMemory)) {
        main.FlashPanel.visible = *flash;
        layoutDirty = true;
    }
    ++revision;
}

void HostSession::applyPendingSetup() {
    auto& records = receive_->records();
    records.setupPacketPending = false;
    if (!setupSnapshot.store(Bytes(records.setup.data(), records.setup.size())))
        return;
    const ReceivedSetupResult result =
        applyReceivedSetup(setupSnapshot, setup, {main.HostMode, main.LoggerMode, loggerModeIndex},
                           activeHostMode, loggerDeviceType);
    for (std::size_t i = 0; i < dataStatus.PortRowTable.size(); ++i) {
        auto& row = dataStatus.PortRowTable[i];
        row.typeName.caption = result.portTypeLabels[i];
        row.rate.caption = kResetRateText;
        row.fileSize.caption = kResetFileSizeText;
    }
    for (std::size_t i = 0; i < 7; ++i)
        dataStatus.AnalogRowTable[i].value.caption = kResetAnalogText;
    layoutDirty = true;
    // The host follows the logger's host-port baud; an unchanged, open port is left alone so
    // the packets right behind the setup are not thrown away.
    auto& port = portView();
    const int chosenCom = port.loggerPortIndex;
    if (loggerPortMustReopen(ports_->openOn(kLoggerSlot), ports_->lineSetting(kLoggerSlot),
                             chosenCom, result.hostLineChoice))
        loggerPortChange(chosenCom, result.hostLineChoice);
    else
        port.loggerSetupIndex = result.hostLineChoice;
}

void HostSession::applyPendingHardware() {
    auto& records = receive_->records();
    records.hardwarePacketPending = false;
    showHardwareRecord(Bytes(records.hardware.data(), records.hardware.size()));
}

void HostSession::showHardwareRecord(Bytes /*record*/) {
    ++hardwareRecordsShown;
    ++revision;
}

void HostSession::showLoggerStatus() {
    auto& records = receive_->records();
    records.statusPacketPending = false;
    const auto status = decodeStatusRecord(Bytes(records.status.data(), records.status.size()));
    if (!status)
        return;
    const int modeIndex = setup.loggerControl.ModeCB.index;
    const bool moored = modeIndex == 1 || modeIndex == 12;
    const StatusDisplayUpdate u =
        cvh::showLoggerStatus(*status, moored, statusMemory, setup.portSetup);

    main.LoggerStatusGB.colour = Colour::ButtonFace;
    main.loggerStatusExpanded = true;
    main.LBDandT.visible = true;
    hostClock_.restartLoggerClockCountdown();
    if (u.portNames)
        for (std::size_t i = 0; i < u.portNames->size(); ++i)
            dataStatus.PortRowTable[i].name.caption = (*u.portNames)[i];
    if (u.remoteHostPanelVisible) {
        main.RemoteHostPanel.visible = *u.remoteHostPanelVisible;
        layoutDirty = true;
    }
    if (u.layout) {
        for (std::size_t i = 0; i < dataStatus.PortRowTable.size(); ++i) {
            auto& r = dataStatus.PortRowTable[i];
            const bool v = u.layout->portRowVisible[i];
            r.name.visible = r.rateCaption.visible = r.sizeCaption.visible = v;
            r.typeName.visible = r.rate.visible = r.fileSize.visible = v;
        }
        for (std::size_t i = 0; i < 7; ++i) {
            auto& pair = dataStatus.AnalogRowTable[i];
            pair.name.visible = pair.value.visible = u.layout->analogPairVisible[i];
        }
        dataStatus.AnalogRowTable[7].name.visible = u.layout->analogFileVisible;
        dataStatus.AnalogRowTable[7].value.visible = u.layout->analogFileVisible;
        dataStatus.LBSerial.visible = u.layout->LBSerialVisible;
        dataStatus.LBAnalog.visible = u.layout->LBAnalogVisible;
    }
    muxId.LBCurrentMuxID = u.LBCurrentMuxID;
    if (u.openMuxIdWindow)
        muxId.visible = true;
    if (u.runStopCaption)
        main.LBRunStop.caption = *u.runStopCaption;
    if (u.runStopVisible)
        main.LBRunStop.visible = *u.runStopVisible;
    main.LBRunNumber.caption = u.LBRunNumber;
    loggerStatus.LBRunSize.caption = u.LBRunSize;
    main.LBPower.caption = u.LBPower;
    loggerSerialNumber = static_cast<std::int16_t>(u.serialNumber);
    loggerDeviceType = static_cast<std::int16_t>(u.deviceType);
    loggerOperationCode = static_cast<std::uint16_t>(u.operationCode);
    if (u.firmwareWarning) {
        warning.text = *u.firmwareWarning;
        warning.visible = true;
    }
    if (u.names.BTClearMemory)
        clearMemoryCaption = *u.names.BTClearMemory;
    if (u.names.BTGetDirectory)
        getDirectoryCaption = *u.names.BTGetDirectory;
    if (u.names.LoggerDeviceName)
        loggerDeviceName = *u.names.LoggerDeviceName;
    checkLoggerClock(static_cast<std::uint32_t>(status->loggerClock));
    loggerStatus.LBOperation = {u.LBOperation, true, Colour::ButtonFace};
    loggerStatus.LBTimeLeft.caption = u.LBTimeLeft;
    titleText = u.TitleText;
    loggerStatus.LBCurrentV.caption = u.LBCurrentV;
    loggerStatus.LBStartV.caption = u.LBStartV;
    loggerStatus.LBEndV.caption = u.LBEndV;
    loggerStatus.LBFreeDisk.caption = u.LBFreeDisk;
    loggerStatus.LBTotalDisk.caption = u.LBTotalDisk;

    std::array<std::int16_t, 7> millivolts{};
    std::copy(status->analogThousandths.begin() + 1, status->analogThousandths.end(),
              millivolts.begin());
    const AnalogRowTexts analog =
        formatAnalogRows(millivolts, static_cast<std::uint32_t>(status->analogRunBytes));
    for (std::size_t i = 0; i < 7; ++i)
        dataStatus.AnalogRowTable[i].value.caption = analog.volts[i];
    dataStatus.AnalogRowTable[7].value.caption = analog.fileSize;
    for (std::size_t i = 0; i < dataStatus.PortRowTable.size(); ++i) {
        const PortRowTexts t = formatPortRow(
            status->portValues[i + 1], static_cast<std::uint32_t>(status->portRunBytes[i + 1]));
        auto& row = dataStatus.PortRowTable[i];
        row.rateCaption.caption = t.rateCaption;
        row.rate.caption = t.rate;
        row.fileSize.caption = t.fileSize;
    }
    ++revision;
}

void HostSession::checkLoggerClock(std::uint32_t loggerClock) {
    refreshHostClock();
    const LoggerClockUpdate u = cvh::checkLoggerClock(loggerClock, clock_, timeSync);
    if (u.setTime)
        commands().sendCommand(u.setTime->code, u.setTime->argumentA, u.setTime->argumentB);
    main.LBDandT.caption = u.LBDandT;
    main.LBDandT.colour = Colour::ButtonFace;
    hostClock_.clearStale();
    sleepClock.SleepTime = u.SleepTime;
    sleepClock.SleepDate = u.SleepDate;
    main.LBDrift.visible = u.LBDriftVisible;
    if (u.LBDriftVisible)
        main.LBDrift.caption = u.LBDrift;
    syncTimeSyncMenu();
}

void HostSession::menuAutoTimeUpdateClick() {
    timeSync.MenuAutoTimeUpdate = !timeSync.MenuAutoTimeUpdate;
    syncTimeSyncMenu();
}

void HostSession::menuUpdateTimeNowClick() {
    timeSync.MenuUpdateTimeNow = true;
    syncTimeSyncMenu();
}

void HostSession::syncTimeSyncMenu() {
    main.item(MenuItem::MenuAutoTimeUpdate).checked = timeSync.MenuAutoTimeUpdate;
    main.item(MenuItem::MenuUpdateTimeNow).checked = timeSync.MenuUpdateTimeNow;
    main.item(MenuItem::MenuMooredTimeUpdate).checked = timeSync.MenuMooredTimeUpdate;
    ++revision;
}

}  // namespace cvh
