#include "session/hardware_settings.h"

#include <algorithm>

#include "base/cformat.h"
#include "config/factory_files.h"

namespace cvh {

namespace {

const RecordFileTexts kHardwareFileTexts{
    "Save Hardware Configuration File",
    "Load Hardare Configuration File",
    "Hardware Configuration (*.hdw)|*.hdw|All Files (*.*)|*.*",
    "*.hdw",
    "The Hardware Configuration shown on the Host Program may not match the Hardware "
    "Configuration in the Data Logger.\n\nDo you still want to save the displayed Hardware "
    "Configuration?",
};

constexpr const char* kHardwareErrorCaption = "Hardware Configuration Error";

// A selection the list can hold, else none.
int listSelection(int index, int count) {
    return index >= 0 && index < count ? index : -1;
}

}  // namespace

HardwareSettings::HardwareSettings(LoggerCommands& commands, Operator& op, PasswordGate& passwords,
                                   ChangeMarks& marks)
    : commands_(commands), operator_(op), passwords_(passwords), view_(marks, Area::Factory) {}

void HardwareSettings::onHardwareRecord(Bytes record) {
    if (!record_.store(record))
        return;
    takeRecord();
}

// The record now in the buffer becomes the host's: its identity at once, the page later.
void HardwareSettings::takeRecord() {
    const HardwareConfig decoded = record_.decode();
    received_ = hardwareFormFrom(decoded);
    view_.edit().identity = hardwareIdentity(decoded);
    if (identityListener_)
        identityListener_(*view_->identity);
}

void HardwareSettings::applyHardware() {
    view_.edit().form = received_;
    view_.edit().current = true;
}

void HardwareSettings::getHardware() {
    commands_.sendCommand(CommandCode::GetHardware);
}

void HardwareSettings::buildHardware() {
    record_.encode(hardwareConfigFrom(view_->form));
}

// A list left without a selection (a value the page could not show) is never sent as garbage.
bool HardwareSettings::selectionsComplete() {
    std::string missing;
    if (view_->form.statusLed < 0)
        missing = "Status LED";
    else if (view_->form.runStopSwitch < 0)
        missing = "Run/Stop Switch";
    for (int e = 0; missing.empty() && e < kRelayEntryCount; ++e)
        if (isRelayPortEntry(e) && view_->form.relay[e] < 0)
            missing = cformat("relay of Port %d", relayEntryPort(e));
    if (missing.empty())
        return true;
    operator_.notice(kHardwareErrorCaption,
                     "No " + missing + " is selected -- please select one before sending", true);
    return false;
}

bool HardwareSettings::sendHardware() {
    buildHardware();
    // "None Selected" is an entry and passes; only no entry at all is refused.
    if (view_->form.deviceType < 0 || view_->form.serialNumber <= 0) {
        operator_.notice(kHardwareErrorCaption, "A meter type and Non-zero SN MUST be selected",
                         true);
        return false;
    }
    if (!selectionsComplete() || !passwords_.checkPassword(view_->password, operator_))
        return false;
    commands_.sendRecord(record_.bytes());
    return true;
}

bool HardwareSettings::loadDefaults() {
    if (!passwords_.checkPassword(view_->password, operator_))
        return false;
    commands_.sendCommand(CommandCode::LoadDefaultHardware);
    return true;
}

bool HardwareSettings::saveHardwareFile() {
    if (!confirmSaveNotCurrent(view_->current, kHardwareFileTexts, operator_))
        return false;
    buildHardware();
    return saveRecordFile(record_.bytes(), kHardwareFileTexts, operator_);
}

bool HardwareSettings::loadHardwareFile() {
    const auto bytes = loadRecordFile(kHardwareRecordLength, kHardwareFileTexts, operator_);
    return bytes && loadHardwareBytes(*bytes);
}

bool HardwareSettings::loadHardwareBytes(Bytes file) {
    // Neither marker nor checksum is tested: files from other tools hold the record alone.
    if (!record_.store(file))
        return false;
    takeRecord();
    applyHardware();
    edited();
    return true;
}

void HardwareSettings::edited() {
    view_.edit().current = false;
}

void HardwareSettings::setDeviceType(int index) {
    view_.edit().form.deviceType = listSelection(index, kDeviceTypeCount);
    edited();
}

void HardwareSettings::setSerialNumber(int value) {
    view_.edit().form.serialNumber = std::clamp(value, 0, kSerialNumberMax);
    edited();
}

void HardwareSettings::setStatusLed(int index) {
    view_.edit().form.statusLed = listSelection(index, kStatusLedCount);
    edited();
}

void HardwareSettings::setRunStopSwitch(int index) {
    view_.edit().form.runStopSwitch = listSelection(index, kRunStopSwitchCount);
    edited();
}

void HardwareSettings::setRelay(int entry, int index) {
    if (!isRelayPortEntry(entry))
        return;
    view_.edit().form.relay[entry] = listSelection(index, kRelayChoiceCount);
    edited();
}

void HardwareSettings::setPassword(std::string text) {
    view_.edit().password = std::move(text);
}

}  // namespace cvh
