// Serial devices on QSerialPort. The program polls its ports from timer ticks, so reads take
// what the driver holds at that moment and never wait, even when no event loop ran in between.
#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QSerialPort>
#include <QSerialPortInfo>

#include <memory>
#include <optional>
#include <string>

#include "link/packet_types.h"
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
    // Bytes held between reads: a few whole data packets, enough for the gaps between ticks at
    // any line speed the logger uses. A line that delivers more than the program takes loses
    // its oldest bytes instead, so memory stays flat and live data is never more than this
    // far behind (about 40 ms at the rate the receive loop takes bytes).
    static constexpr qint64 kReadBufferSize = 4 * static_cast<qint64>(kMaxDataPacketLength);
    // At most this many buffers are dropped in one read, so a flood cannot hold a tick.
    static constexpr int kMaxDropsPerRead = 64;
    // Bytes queued for sending beyond which new writes are refused whole, so a device that
    // takes nothing cannot make the queue grow without end.
    static constexpr qint64 kWriteQueueLimit = 64 * 1024;
    // How long closing may wait for queued bytes (the last command before an exit, say).
    static constexpr int kCloseWaitMs = 20;

    explicit QtSerialDevice(std::unique_ptr<QSerialPort> port);
    ~QtSerialDevice() override;

    bool configure(const std::string& mode) override;
    std::size_t read(std::uint8_t* buffer, std::size_t room) override;
    std::size_t write(const std::uint8_t* bytes, std::size_t count) override;
    bool close() override;
    bool lost() override;
    std::uint64_t overrunBytes() const override { return overrun_; }

private:
    // Moves what the system holds into the port's buffer without waiting.
    void pump();
    void dropBacklog();
    // Looks at errors and at the descriptor itself: a hung-up or vanished device is closed.
    void checkLost();
    void markLost();

    std::unique_ptr<QSerialPort> port_;
    bool lost_ = false;
    std::uint64_t overrun_ = 0;
};

class QtSerialBackend : public SerialBackend {
public:
    // `deviceName` is a system name ("COM3", "\\.\COM12", "ttyUSB0") or a full path
    // ("/dev/ttyUSB0", a pseudo-terminal "/dev/pts/4").
    std::unique_ptr<SerialDevice> open(const std::string& deviceName) override;
    bool exists(const std::string& deviceName) const override;
    std::string openError() const override { return openError_; }

private:
    // The system's port list, taken at most once a second: the port boxes ask about 255 names
    // in a row, and each listing walks the device tree.
    const QList<QSerialPortInfo>& availablePorts() const;

    mutable QList<QSerialPortInfo> ports_;
    mutable QElapsedTimer portsAge_;
    std::string openError_;
};

}  // namespace cvh
