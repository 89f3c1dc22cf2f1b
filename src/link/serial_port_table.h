// The serial-port slots: slot 0 is the logger port, slots 1..8 the PC-logger deck ports.
// Every byte the host exchanges goes through here; callers never hold a device themselves.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
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
    // Reads override lines; returns the malformed lines (1-based line numbers with their text)
    // so the caller can report them once.
    std::vector<std::string> applyOverrides(const std::string& text);
    // False when the file cannot be read (no file is the usual case: nothing to override).
    bool loadOverrideFile(const std::string& path, std::vector<std::string>& malformed);

private:
    std::array<std::string, kComNameCount> names_;
};

// The file of name overrides, looked for in the start directory.
inline constexpr const char* kComPortsFileName = "comports.txt";

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
    // Writes to a closed slot are dropped without report.
    void writePort(int slot, const std::uint8_t* bytes, std::size_t count);
    // `count`: in, the room in `buffer`; out, the bytes read (0 on a closed slot).
    void readPort(int slot, std::uint8_t* buffer, std::size_t& count);
    bool isPortOpen(int slot) const;
    int openOn(int slot) const;       // COM number, 0 when closed
    int lineSetting(int slot) const;  // 0..11
    void setLineSetting(int slot, int baudRate, int dataBitCount);
    int setLineSettingFromChoice(int slot, int choiceIndex);
    // Bytes an open slot was asked to write but the device did not take (silent failures
    // leave only this counter behind).
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
        std::uint64_t unwrittenBytes = 0;
    };
    bool validSlot(int slot) const { return slot >= 0 && slot < kSlotCount; }

    SerialBackend& backend_;
    Operator& operator_;
    ComPortNames names_;
    std::array<Slot, kSlotCount> slots_;
};

}  // namespace cvh
