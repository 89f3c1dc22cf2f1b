// The Analog Calibration page as the operator drives it: reading the calibration from the
// logger, editing it, sending it back behind the factory password, and .alg files. One 44-byte
// record is shared by receive, send, load and save.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/operator.h"
#include "config/analog_calibration.h"
#include "config/factory_password.h"
#include "link/command_frames.h"
#include "link/receive_consumers.h"
#include "session/change_marks.h"

namespace cvh {

// What the page shows, as facts.
struct AnalogView {
    AnalogForm form;
    std::string password;  // the text of ALGPassword
    // The page shows what the logger holds (received and not edited since).
    bool current = false;
};

class AnalogSettings final : public CalibrationSink {
public:
    AnalogSettings(LoggerCommands& commands, Operator& op, PasswordGate& passwords,
                   ChangeMarks& marks);

    // A type-6 packet from the receive loop: shown at once, and current.
    void onCalibration(Bytes record) override;

    // --- operations ----------------------------------------------------------------------------
    void getAnalog();  // BTGetAnalog: 0xADAD
    // BTSendAnalogCalibration: every edit a number, then the password; the 44 bytes go out
    // unchanged. True when sent.
    bool sendAnalog();
    bool saveAnalogFile();  // BTSaveAnalogFile; true when written
    bool loadAnalogFile();  // BTLoadAnalogFile; true when applied
    // An .alg file's contents as read: shown, then marked changed. Fewer than 44 bytes change
    // nothing; bytes after the 44th are ignored.
    bool loadAnalogBytes(Bytes file);

    // --- operator edits (each marks the page not current, but the password) -----------------
    void setOffset(int channel, std::string text);  // MEOffset0..MEOffset7
    void setScale(int channel, std::string text);   // MEScale0..MEScale7
    void setPassword(std::string text);             // ALGPassword

    // --- facts ---------------------------------------------------------------------------------
    const AnalogView& view() const { return *view_; }
    Bytes recordBytes() const { return record_.bytes(); }

private:
    void applyAnalog();
    // The record the edits make, or nothing after telling the operator which edit is wrong.
    std::optional<AnalogCalibration> checkedCalibration();
    void edited();

    LoggerCommands& commands_;
    Operator& operator_;
    PasswordGate& passwords_;
    CalibrationRecord record_;
    Watched<AnalogView> view_;  // Area::Factory
};

}  // namespace cvh
