// The operating system's serial devices, as the port table needs them. The Qt implementation
// lives in the platform layer; tests provide their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace cvh {

// One open device. Nothing here blocks: reads return what has arrived, possibly nothing, and
// writes hand their bytes to a bounded queue that the event loop drains.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Applies a mode string "baud,parity,data bits,stop bits", e.g. "9600,N,8,1" or "4800,E,7,1".
    virtual bool configure(const std::string& mode) = 0;
    // Reads up to `room` bytes into `buffer`; returns how many arrived (0 when none or on error).
    virtual std::size_t read(std::uint8_t* buffer, std::size_t room) = 0;
    // Queues all bytes for sending, or none when the queue has no room for them all (a frame is
    // never cut); returns the bytes taken.
    virtual std::size_t write(const std::uint8_t* bytes, std::size_t count) = 0;
    // Closes the device; false when the system reports a failure.
    virtual bool close() = 0;
    // Whether the device has gone (adapter unplugged, line hung up, end of file, a read error
    // the system calls fatal). Once true it stays true; the device then reads and writes nothing.
    virtual bool lost() { return false; }
    // Bytes that arrived faster than the program took them and were dropped, since the open.
    virtual std::uint64_t overrunBytes() const { return 0; }
};

class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    // Opens a device by name for exclusive read and write; nullptr when it cannot be opened.
    virtual std::unique_ptr<SerialDevice> open(const std::string& deviceName) = 0;
    // Why the last open() failed, in the system's words ("Permission denied"); "" if unknown.
    virtual std::string openError() const { return {}; }
    // Whether a device of that name exists now (for the port lists); may be approximate.
    virtual bool exists(const std::string& deviceName) const = 0;
};

}  // namespace cvh
