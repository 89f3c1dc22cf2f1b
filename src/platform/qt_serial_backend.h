// Serial devices on QSerialPort. The program polls its ports from timer ticks, so reads take
// what the driver holds at that moment and never wait, even when no event loop ran in between.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "link/serial_backend.h"

namespace cvh {

// A mode string "baud,parity,data bits,stop bits" such as "9600,N,8,1" or "4800,E,7,1".
struct LineMode {
    qint32 baudRate = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};
std::optional<LineMode> parseLineMode(const std::string& mode);

class QtSerialDevice : public SerialDevice {
public:
    // How long one write may wait for the driver to take its bytes.
    static constexpr int kWriteWaitMs = 20;
    // Bytes left queued by earlier writes beyond which new writes are refused, so a device
    // that takes nothing cannot make the queue grow without end.
    static constexpr qint64 kQueueLimit = 64 * 1024;

    explicit QtSerialDevice(std::unique_ptr<QSerialPort> port);
    ~QtSerialDevice() override;

    bool configure(const std::string& mode) override;
    std::size_t read(std::uint8_t* buffer, std::size_t room) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count) override;
    bool close() override;

    // The adapter went away (unplugged); the port has been closed.
    bool lost() const { return lost_; }

private:
    void checkLost();

    std::unique_ptr<QSerialPort> port_;
    bool lost_ = false;
};

class QtSerialBackend : public SerialBackend {
public:
    // `deviceName` is a system name ("COM3", "\\.\COM12", "ttyUSB0") or a full path
    // ("/dev/ttyUSB0", a pseudo-terminal "/dev/pts/4").
    std::unique_ptr<SerialDevice> open(const std::string& deviceName) override;
    bool exists(const std::string& deviceName) const override;

private:
    // The system's port list, taken at most once a second: the port boxes ask about 255 names
    // in a row, and each listing walks the device tree.
    const QList<QSerialPortInfo>& availablePorts() const;

    mutable QList<QSerialPortInfo> ports_;
    mutable QElapsedTimer portsAge_;
};

}  // namespace cvh
