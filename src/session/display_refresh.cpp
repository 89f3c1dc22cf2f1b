// The display-refresh tick: received setup, hardware and status records are applied here once
// each, never in the 10 ms tick that stored them.
#include <algorithm>

#include "base/cformat.h"
#include "session/host_session.h"
#include "session/live_format.h"
#include "session/setup_exchange.h"

namespace cvh {

void HostSession::displayRefreshTick() {
    TickScope scope(*this);
    auto& records = link_.receiveLoop().records();
    if (records.setupPacketPending)
        applyPendingSetup();
    if (records.hardwarePacketPending)
        applyPendingHardware();
    if (records.statusPacketPending)
        showLoggerStatus();
    if (main_->title != titleText_)
        main_.edit().title = titleText_;
    if (const auto flash = refreshFlashPanel(records.flashErrorIndicator, statusMemory_)) {
        main_.edit().FlashPanel.visible = *flash;
        marks_.mark(Area::Layout);
    }
}

void HostSession::applyPendingSetup() {
    auto& records = link_.receiveLoop().records();
    records.setupPacketPending = false;
    const auto result =
        setup_.applyReceivedSetup(Bytes(records.setup.data(), records.setup.size()), modeLabels(),
                                  activeHostMode_, logger_.deviceType);
    if (!result)
        return;
    liveWatch_.onSetupRecord(Bytes(records.setup.data(), records.setup.size()));
    auto& dataStatus = dataStatus_.edit();
    for (std::size_t i = 0; i < dataStatus.PortRowTable.size(); ++i) {
        auto& row = dataStatus.PortRowTable[i];
        row.typeName.caption = result->portTypeLabels[i];
        row.rate.caption = kResetRateText;
        row.fileSize.caption = kResetFileSizeText;
    }
    for (std::size_t i = 0; i < 7; ++i)
        dataStatus.AnalogRowTable[i].value.caption = kResetAnalogText;
    marks_.mark(Area::Layout);
    // The host follows the logger's host-port baud; an unchanged, open port is left alone so
    // the packets right behind the setup are not thrown away.
    auto& ports = link_.ports();
    const int chosenCom = link_.portView().loggerPortIndex;
    if (loggerPortMustReopen(ports.openOn(kLoggerSlot), ports.lineSetting(kLoggerSlot), chosenCom,
                             result->hostLineChoice))
        link_.loggerPortChange(chosenCom, result->hostLineChoice);
    else
        link_.selectLoggerPort(chosenCom, result->hostLineChoice);
}

// Takes each received hardware record once into the Hardware Configuration page.
void HostSession::applyPendingHardware() {
    link_.receiveLoop().records().hardwarePacketPending = false;
    factory_.hardware().applyHardware();
}

void HostSession::showLoggerStatus() {
    auto& records = link_.receiveLoop().records();
    records.statusPacketPending = false;
    const auto status = decodeStatusRecord(Bytes(records.status.data(), records.status.size()));
    if (!status)
        return;
    const bool moored = isMooredMode(loggerModeOf(setup_.forms().loggerControl.ModeCB.index));
    const StatusDisplayUpdate u =
        cvh::showLoggerStatus(*status, moored, statusMemory_, setup_.edit(SessionKey()).portSetup);
    clockAndSleep_.restartLoggerClockCountdown();
    showStatusDisplay(u);
    portTools_.showCurrentLoggerId(u.LBCurrentMuxID, u.openMuxIdWindow);
    logger_.serialNumber = static_cast<std::int16_t>(u.serialNumber);
    logger_.deviceType = static_cast<std::int16_t>(u.deviceType);
    logger_.operationCode = u.operationCode;
    liveWatch_.onLoggerStatus(u.operationCode);
    if (u.firmwareWarning) {
        auto& warning = warning_.edit();
        warning.text = *u.firmwareWarning;
        warning.visible = true;
    }
    // The Upload page's two memory buttons name the device.
    if (u.names.BTClearMemory && logger_.clearMemoryCaption != *u.names.BTClearMemory) {
        logger_.clearMemoryCaption = *u.names.BTClearMemory;
        marks_.mark(Area::Upload);
    }
    if (u.names.BTGetDirectory && logger_.getDirectoryCaption != *u.names.BTGetDirectory) {
        logger_.getDirectoryCaption = *u.names.BTGetDirectory;
        marks_.mark(Area::Upload);
    }
    if (u.names.LoggerDeviceName)
        logger_.deviceName = *u.names.LoggerDeviceName;
    clockAndSleep_.checkLoggerClock(static_cast<std::uint32_t>(status->loggerClock),
                                    status->serialNumber);
    titleText_ = u.TitleText;
    showStatusRows(*status, u);
}

// The left column's status labels and the Data Status page's layout.
void HostSession::showStatusDisplay(const StatusDisplayUpdate& u) {
    auto& main = main_.edit();
    main.LoggerStatusGB.colour = Colour::ButtonFace;
    main.loggerStatusExpanded = true;
    main.LBDandT.visible = true;
    auto& dataStatus = dataStatus_.edit();
    if (u.portNames)
        for (std::size_t i = 0; i < u.portNames->size(); ++i)
            dataStatus.PortRowTable[i].name.caption = (*u.portNames)[i];
    if (u.remoteHostPanelVisible) {
        main.RemoteHostPanel.visible = *u.remoteHostPanelVisible;
        marks_.mark(Area::Layout);
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
    if (u.runStopCaption)
        main.LBRunStop.caption = *u.runStopCaption;
    if (u.runStopVisible)
        main.LBRunStop.visible = *u.runStopVisible;
    main.LBRunNumber.caption = u.LBRunNumber;
    main.LBPower.caption = u.LBPower;
}

// The status group's figures and the Data Status page's port and analog rows.
void HostSession::showStatusRows(const LoggerStatus& status, const StatusDisplayUpdate& u) {
    loggerStatus_.edit() = u.status;

    std::array<std::int16_t, 7> millivolts{};
    std::copy(status.analogThousandths.begin() + 1, status.analogThousandths.end(),
              millivolts.begin());
    const AnalogRowTexts analog =
        formatAnalogRows(millivolts, static_cast<std::uint32_t>(status.analogRunBytes));
    auto& dataStatus = dataStatus_.edit();
    for (std::size_t i = 0; i < 7; ++i)
        dataStatus.AnalogRowTable[i].value.caption = analog.volts[i];
    dataStatus.AnalogRowTable[7].value.caption = analog.fileSize;
    for (std::size_t i = 0; i < dataStatus.PortRowTable.size(); ++i) {
        const PortRowTexts t = formatPortRow(
            status.portValues[i + 1], static_cast<std::uint32_t>(status.portRunBytes[i + 1]));
        auto& row = dataStatus.PortRowTable[i];
        row.rateCaption.caption = t.rateCaption;
        row.rate.caption = t.rate;
        row.fileSize.caption = t.fileSize;
    }
}

}  // namespace cvh
