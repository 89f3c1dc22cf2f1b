// The Hardware Configuration page as the operator drives it: reading the configuration from
// the logger, editing it, sending it back behind the factory password, the factory defaults,
// and .hdw files. One 58-byte record is shared by receive, send, load and save, so the bytes
// the host does not interpret go back exactly as they came.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/operator.h"
#include "config/factory_password.h"
#include "config/hardware_config.h"
#include "link/command_frames.h"
#include "link/receive_consumers.h"
#include "session/change_marks.h"

namespace cvh {

// What the page shows, as facts.
struct HardwareView {
    HardwareForm form;
    std::string password;  // the text of HWPassword
    // The page shows what the logger holds (received and not edited since).
    bool current = false;
    // Identity of the last record received or loaded; nothing before the first.
    std::optional<LoggerIdentity> identity;
};

class HardwareSettings final : public HardwareSink {
public:
    HardwareSettings(LoggerCommands& commands, Operator& op, PasswordGate& passwords,
                     ChangeMarks& marks);

    // --- receiving ---------------------------------------------------------------------------
    // A type-7 packet from the receive loop: kept as the record, its identity reported at once;
    // the page follows at the next applyHardware.
    void onHardwareRecord(Bytes record) override;
    // The display refresh, when the loop has raised hardwarePacketPending: the page shows the
    // record received last and is current.
    void applyHardware();

    // --- operations ----------------------------------------------------------------------------
    void getHardware();  // BTGetHardware: 0xA8A8
    // BTSendHardwareSetup: a device type and a serial number above 0, then every other list
    // selected, then the password; the 58 bytes go out unchanged. True when sent.
    bool sendHardware();
    // BTTQ7Defaults: the logger loads its default hardware setup, calibration, logger ID and
    // host interface into flash, behind the password. True when sent.
    bool loadDefaults();
    bool saveHardwareFile();  // BTSaveHardwareFile; true when written
    bool loadHardwareFile();  // BTLoadHardwareFile; true when applied
    // A .hdw file's contents as read: applied as a received record would be, then marked
    // changed. Fewer than 58 bytes change nothing; bytes after the 58th are ignored.
    bool loadHardwareBytes(Bytes file);

    // --- operator edits (each marks the page not current, but the password) -----------------
    void setDeviceType(int index);        // DeviceTypeCB
    void setSerialNumber(int value);      // UDSerialNumber / SNEdit, 0..1000
    void setStatusLed(int index);         // StatusLEDCB
    void setRunStopSwitch(int index);     // RunStopCB
    void setRelay(int entry, int index);  // RelaySP1..RelayPP4 by relay entry (1..8, 10..20)
    void setPassword(std::string text);   // HWPassword

    // --- facts ---------------------------------------------------------------------------------
    const HardwareView& view() const { return *view_; }
    // The record as it would go out or into a file now (after the last build).
    Bytes recordBytes() const { return record_.bytes(); }
    // Told the identity of every record received or loaded, at once: the session's logger
    // serial number and device type follow it (Send Setup's port 1, the device naming).
    void setIdentityListener(std::function<void(const LoggerIdentity&)> listener) {
        identityListener_ = std::move(listener);
    }

private:
    void takeRecord();
    void buildHardware();
    bool selectionsComplete();
    void edited();

    LoggerCommands& commands_;
    Operator& operator_;
    PasswordGate& passwords_;
    HardwareRecord record_;
    HardwareForm received_;       // the page as the record received last fills it
    Watched<HardwareView> view_;  // Area::Factory
    std::function<void(const LoggerIdentity&)> identityListener_;
};

}  // namespace cvh
