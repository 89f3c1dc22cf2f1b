#include "session/analog_settings.h"

#include "config/factory_files.h"

namespace cvh {

namespace {

const RecordFileTexts kAnalogFileTexts{
    "Save Analog Calibration File",
    "Load Analog Calibration File",
    "Analog Calibration (*.alg)|*.alg|All Files (*.*)|*.*",
    "*.alg",
    "The Analog Calibration shown on the Host Program may not match the Analog Calibration in "
    "the Data Logger.\n\nDo you still want to save the displayed Analog Calibration?",
};

bool validChannel(int channel) {
    return channel >= 0 && channel < kCalibrationChannelCount;
}

}  // namespace

AnalogSettings::AnalogSettings(LoggerCommands& commands, Operator& op, PasswordGate& passwords,
                               ChangeMarks& marks)
    : commands_(commands), operator_(op), passwords_(passwords), view_(marks, Area::Factory) {}

void AnalogSettings::onCalibration(Bytes record) {
    if (!record_.store(record))
        return;
    applyAnalog();
}

void AnalogSettings::applyAnalog() {
    view_.edit().form = analogFormFrom(record_.decode());
    view_.edit().current = true;
}

void AnalogSettings::getAnalog() {
    commands_.sendCommand(CommandCode::GetAnalogCalibration);
}

// An edit without a number is refused rather than sent or saved as a limit value: a wrong
// calibration silently spoils every analog reading of a deployment.
std::optional<AnalogCalibration> AnalogSettings::checkedCalibration() {
    const BuiltCalibration built = analogCalibrationFrom(view_->form);
    if (!built.calibration)
        operator_.notice("Analog Calibration Error",
                         std::string("The ") + (built.badEdit.scale ? "Scale" : "Offset") + " of " +
                             calibrationChannelName(built.badEdit.channel) +
                             " is not a number -- please enter one",
                         true);
    return built.calibration;
}

bool AnalogSettings::sendAnalog() {
    const auto calibration = checkedCalibration();
    if (!calibration || !passwords_.checkPassword(view_->password, operator_))
        return false;
    record_.encode(*calibration);
    commands_.sendRecord(record_.bytes());
    return true;
}

bool AnalogSettings::saveAnalogFile() {
    const auto calibration = checkedCalibration();
    if (!calibration || !confirmSaveNotCurrent(view_->current, kAnalogFileTexts, operator_))
        return false;
    record_.encode(*calibration);
    return saveRecordFile(record_.bytes(), kAnalogFileTexts, operator_);
}

bool AnalogSettings::loadAnalogFile() {
    const auto bytes = loadRecordFile(kCalibrationRecordLength, kAnalogFileTexts, operator_);
    return bytes && loadAnalogBytes(*bytes);
}

bool AnalogSettings::loadAnalogBytes(Bytes file) {
    // Neither marker nor checksum is tested; the fixed words stay until the next build.
    if (!record_.store(file))
        return false;
    applyAnalog();
    edited();
    return true;
}

void AnalogSettings::edited() {
    view_.edit().current = false;
}

void AnalogSettings::setOffset(int channel, std::string text) {
    if (!validChannel(channel))
        return;
    view_.edit().form.offset[channel] = std::move(text);
    edited();
}

void AnalogSettings::setScale(int channel, std::string text) {
    if (!validChannel(channel))
        return;
    view_.edit().form.scale[channel] = std::move(text);
    edited();
}

void AnalogSettings::setPassword(std::string text) {
    view_.edit().password = std::move(text);
}

}  // namespace cvh
