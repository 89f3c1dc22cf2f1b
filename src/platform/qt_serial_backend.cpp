#include "platform/qt_serial_backend.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace cvh {

std::optional<LineMode> parseLineMode(const std::string& mode) {
    const QStringList parts = QString::fromStdString(mode).split(',');
    if (parts.size() != 4)
        return std::nullopt;
    LineMode m;
    bool ok = false;
    m.baudRate = parts[0].trimmed().toInt(&ok);
    if (!ok || m.baudRate <= 0)
        return std::nullopt;

    const QString parity = parts[1].trimmed().toUpper();
    if (parity == "N")
        m.parity = QSerialPort::NoParity;
    else if (parity == "E")
        m.parity = QSerialPort::EvenParity;
    else if (parity == "O")
        m.parity = QSerialPort::OddParity;
    else if (parity == "M")
        m.parity = QSerialPort::MarkParity;
    else if (parity == "S")
        m.parity = QSerialPort::SpaceParity;
    else
        return std::nullopt;

    const int bits = parts[2].trimmed().toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return std::nullopt;
    m.dataBits = static_cast<QSerialPort::DataBits>(bits);

    const QString stop = parts[3].trimmed();
    if (stop == "1")
        m.stopBits = QSerialPort::OneStop;
    else if (stop == "1.5")
        m.stopBits = QSerialPort::OneAndHalfStop;
    else if (stop == "2")
        m.stopBits = QSerialPort::TwoStop;
    else
        return std::nullopt;
    return m;
}

QtSerialDevice::QtSerialDevice(std::unique_ptr<QSerialPort> port) : port_(std::move(port)) {}

QtSerialDevice::~QtSerialDevice() {
    close();
}

bool QtSerialDevice::configure(const std::string& mode) {
    const auto m = parseLineMode(mode);
    if (!m || !port_->isOpen())
        return false;
    // Every setter is tried even when one fails: a pseudo-terminal, for one, may refuse some.
    bool ok = port_->setBaudRate(m->baudRate);
    ok = port_->setDataBits(m->dataBits) && ok;
    ok = port_->setParity(m->parity) && ok;
    ok = port_->setStopBits(m->stopBits) && ok;
    ok = port_->setFlowControl(QSerialPort::NoFlowControl) && ok;
    checkLost();
    return ok;
}

std::size_t QtSerialDevice::read(std::uint8_t* buffer, std::size_t room) {
    if (!port_->isOpen() || room == 0)
        return 0;
    // Without an event loop between ticks nothing moves the driver's bytes into the port's
    // buffer; a zero wait does that at once. A second pass covers a pass spent on writing.
    for (int pass = 0; pass < 2 && port_->bytesAvailable() < static_cast<qint64>(room); ++pass)
        if (!port_->waitForReadyRead(0))
            break;
    const qint64 got = port_->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(room));
    checkLost();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t QtSerialDevice::write(const std::uint8_t* bytes, std::size_t count) {
    if (!port_->isOpen() || count == 0)
        return 0;
    // Bytes an earlier write left queued go first; a device that takes nothing gets no more.
    if (port_->bytesToWrite() > 0)
        port_->waitForBytesWritten(0);
    if (port_->bytesToWrite() >= kQueueLimit) {
        checkLost();
        return 0;
    }
    const qint64 accepted =
        port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
    if (accepted <= 0) {
        checkLost();
        return 0;
    }
    // Wait, within bounds, until the driver has taken every byte.
    QDeadlineTimer deadline(kWriteWaitMs);
    while (port_->isOpen() && port_->bytesToWrite() > 0 && !deadline.hasExpired())
        if (!port_->waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
            break;
    checkLost();
    if (!port_->isOpen())
        return 0;
    // Queued bytes are the tail of this write; they go out later but are not counted as written.
    const qint64 stillQueued = std::min(port_->bytesToWrite(), accepted);
    return static_cast<std::size_t>(accepted - stillQueued);
}

bool QtSerialDevice::close() {
    if (!port_->isOpen())
        return true;
    if (port_->bytesToWrite() > 0)
        port_->waitForBytesWritten(kWriteWaitMs);
    port_->clearError();
    port_->close();
    const bool ok = port_->error() == QSerialPort::NoError;
    port_->clearError();
    return ok;
}

void QtSerialDevice::checkLost() {
    const QSerialPort::SerialPortError error = port_->error();
    if (error == QSerialPort::NoError)
        return;
    if (error == QSerialPort::ResourceError && port_->isOpen()) {
        // The adapter is gone: close now, so reads and writes return nothing until the
        // operator reopens the port.
        lost_ = true;
        port_->close();
    }
    // Time-outs of the zero waits and one-off read or write errors are not reported.
    port_->clearError();
}

std::unique_ptr<SerialDevice> QtSerialBackend::open(const std::string& deviceName) {
    if (deviceName.empty())
        return nullptr;
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(deviceName));
    if (!port->open(QIODevice::ReadWrite))
        return nullptr;
    return std::make_unique<QtSerialDevice>(std::move(port));
}

bool QtSerialBackend::exists(const std::string& deviceName) const {
    if (deviceName.empty())
        return false;
    QString name = QString::fromStdString(deviceName);
    const QString shortName = name.startsWith(R"(\\.\)") ? name.mid(4) : name;
    for (const QSerialPortInfo& info : availablePorts())
        if (info.portName() == shortName || info.systemLocation() == name)
            return true;
    // Pseudo-terminals and other nodes the port list does not know. The kernel makes the
    // ttyS nodes whether or not a UART is behind them, so for those only the list counts.
    return name.startsWith('/') && !name.startsWith("/dev/ttyS") && QFileInfo::exists(name);
}

const QList<QSerialPortInfo>& QtSerialBackend::availablePorts() const {
    if (!portsAge_.isValid() || portsAge_.elapsed() > 1000) {
        ports_ = QSerialPortInfo::availablePorts();
        portsAge_.start();
    }
    return ports_;
}

}  // namespace cvh
