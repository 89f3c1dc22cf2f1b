// The serial-port slots: slot 0 is the logger port, slots 1..8 the PC-logger deck ports.
// Every byte the host exchanges goes through here; callers never hold a device themselves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/operator.h"
#include "link/line_choices.h"
#include "link/serial_backend.h"

namespace cvh {

inline constexpr int kSlotCount = 260;
inline constexpr int kComNameCount = 260;

// COM number to device name. On Windows "COM1".."COM8" and "\\.\COM9" upward; on Linux
// COM 1..32 /dev/ttyS0..31, 33..64 /dev/ttyUSB0..31, 65..96 /dev/ttyACM0..31; comports.txt
// ("COM<n> <device path>" per line) overrides entries.
class ComPortNames {
public:
    ComPortNames();                                // the platform defaults
    const std::string& name(int comNumber) const;  // "" outside 0..259
    void set(int comNumber, std::string deviceName);
    // Reads override lines; returns what the operator should be told once: each malformed line
    // ("line 7: <text>", the text cut to 80 characters; a line over 4096 characters is
    // malformed) and each COM number given twice ("line 2: ... (replaced by line 9: ...)": the
    // later line wins). After 20 such entries one more says how many were left out.
    std::vector<std::string> applyOverrides(const std::string& text);
    std::vector<std::string> applyOverrides(std::istream& in);
    // False when the file cannot be read (no file is the usual case: nothing to override).
    bool loadOverrideFile(const std::string& path, std::vector<std::string>& malformed);

private:
    std::array<std::string, kComNameCount> names_;
};

// The file of name overrides, looked for in the start directory.
inline constexpr const char* kComPortsFileName = "comports.txt";

// A slot whose device went away (see SerialPortTable::takeLostPorts).
struct LostPort {
    int slot = 0;
    int comNumber = 0;
    std::string device;  // the path it was open on
};

class SerialPortTable {
public:
    SerialPortTable(SerialBackend& backend, Operator& op);
    ~SerialPortTable();

    ComPortNames& names() { return names_; }
    const ComPortNames& names() const { return names_; }
    // Whether the device behind a COM number is present now (for the port boxes).
    bool comPresent(int comNumber) const;

    void openPort(int slot, int comNumber);
    void closePort(int slot);
    // Queues bytes for the device; never waits. Writes to a closed or lost slot are dropped
    // without report; a write the device's queue has no room for is dropped whole and counted
    // in unwrittenBytes().
    void writePort(int slot, const std::uint8_t* bytes, std::size_t count);
    // `count`: in, the room in `buffer`; out, the bytes read (0 on a closed or lost slot).
    void readPort(int slot, std::uint8_t* buffer, std::size_t& count);
    // Open: assigned to a COM number (also while its device is lost).
    bool isPortOpen(int slot) const;
    int openOn(int slot) const;  // COM number, 0 when closed

    // A device that goes away (unplugged adapter, hung-up line, end of file) is noticed by the
    // next read or write of its slot, or by checkDevices(). Its descriptor is closed at once;
    // the slot stays open on its COM number but reads and writes nothing until reopenLost().
    bool isPortLost(int slot) const;
    // Asks every open device whether it is still there (for slots that are neither read nor
    // written for a while, such as idle deck outputs).
    void checkDevices();
    // The slots lost since the last call, each reported once per loss.
    std::vector<LostPort> takeLostPorts();
    // When the lost slot's device path is present again, opens it with the slot's line setting.
    // True when the slot works again; false (silently) while the device is still missing or
    // refuses to open. Meant to be asked at most once a second per slot.
    bool reopenLost(int slot);
    // Bytes that arrived faster than the program read them and were dropped (all devices the
    // slot has had since it was last opened by openPort).
    std::uint64_t overrunBytes(int slot) const;

    int lineSetting(int slot) const;  // 0..11
    void setLineSetting(int slot, int baudRate, int dataBitCount);
    int setLineSettingFromChoice(int slot, int choiceIndex);
    // Bytes an open slot was asked to write but the device's queue had no room for (silent
    // failures leave only this counter behind).
    std::uint64_t unwrittenBytes(int slot) const;
    // The console's reset to defaults: every slot marked closed, line setting 6 ("9600").
    void resetToDefaults();
    // Closes every open slot (program exit).
    void closeAll();

private:
    struct Slot {
        std::unique_ptr<SerialDevice> device;
        int openOn = 0;
        int lineSetting = 6;
        std::string deviceName;  // what the slot was opened on, for the reopen after a loss
        bool lost = false;
        bool lossPending = false;  // lost since takeLostPorts() last asked
        std::uint64_t unwrittenBytes = 0;
        std::uint64_t overrunBytes = 0;  // of devices the slot no longer holds
    };
    bool validSlot(int slot) const { return slot >= 0 && slot < kSlotCount; }
    // Lets go of the slot's device; the slot keeps its COM number.
    void releaseDevice(Slot& s);
    // After any use of the device: a device that has gone is let go of at once.
    void noticeLoss(Slot& s);

    SerialBackend& backend_;
    Operator& operator_;
    ComPortNames names_;
    std::array<Slot, kSlotCount> slots_;
};

}  // namespace cvh
