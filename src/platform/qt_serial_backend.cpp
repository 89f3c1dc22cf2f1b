#include "platform/qt_serial_backend.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

#if defined(Q_OS_UNIX)
#include <poll.h>
#endif

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

QtSerialDevice::QtSerialDevice(std::unique_ptr<QSerialPort> port) : port_(std::move(port)) {
    port_->setReadBufferSize(kReadBufferSize);
    // An unplugged adapter is closed as soon as the event loop hears of it, not at the next
    // tick that happens to use the port.
    QObject::connect(port_.get(), &QSerialPort::errorOccurred, port_.get(),
                     [this](QSerialPort::SerialPortError) { checkLost(); });
}

QtSerialDevice::~QtSerialDevice() {
    // No error signal may reach a half-destroyed device.
    port_->disconnect();
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

void QtSerialDevice::pump() {
    // Without an event loop between ticks nothing moves the driver's bytes into the port's
    // buffer; a zero wait does that at once, and sends queued bytes the line has room for.
    // A second pass covers a pass spent on sending.
    for (int pass = 0; pass < 2 && port_->isOpen(); ++pass)
        if (!port_->waitForReadyRead(0))
            break;
}

void QtSerialDevice::dropBacklog() {
    // A full buffer means the line delivers faster than the program takes it. The oldest half
    // goes and the system is asked for more, until what it holds fits: what is read next is
    // the newest data, at most one buffer behind the line.
    for (int pass = 0;
         pass < kMaxDropsPerRead && port_->isOpen() && port_->bytesAvailable() >= kReadBufferSize;
         ++pass) {
        const qint64 dropped = port_->skip(kReadBufferSize / 2);
        if (dropped <= 0)
            break;
        overrun_ += static_cast<std::uint64_t>(dropped);
        pump();
    }
}

std::size_t QtSerialDevice::read(std::uint8_t* buffer, std::size_t room) {
    if (!port_->isOpen() || room == 0)
        return 0;
    if (port_->bytesAvailable() < static_cast<qint64>(room))
        pump();
    dropBacklog();
    if (!port_->isOpen())  // the wait heard that the device is gone
        return 0;
    const qint64 got = port_->read(reinterpret_cast<char*>(buffer), static_cast<qint64>(room));
    // Nothing to read is the usual quiet line; it is also how a hung-up line looks, so only
    // then is the device itself asked.
    if (got <= 0)
        checkLost();
    return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t QtSerialDevice::write(const std::uint8_t* bytes, std::size_t count) {
    if (!port_->isOpen() || count == 0)
        return 0;
    // A device that takes nothing gets no more than the limit.
    if (port_->bytesToWrite() + static_cast<qint64>(count) > kWriteQueueLimit) {
        checkLost();
        return 0;
    }
    const qint64 accepted =
        port_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(count));
    // Hands the line what it takes now: a zero wait sends only when the line has room, so it
    // never blocks (QSerialPort::flush() would try regardless and, refused, drop the queue).
    // The event loop and later reads send the rest.
    port_->waitForBytesWritten(0);
    checkLost();
    return accepted > 0 && !lost_ ? static_cast<std::size_t>(accepted) : 0;
}

bool QtSerialDevice::close() {
    if (!port_->isOpen())
        return true;
    if (port_->bytesToWrite() > 0)
        port_->waitForBytesWritten(kCloseWaitMs);
    port_->clearError();
    port_->close();
    const bool ok = port_->error() == QSerialPort::NoError;
    port_->clearError();
    return ok;
}

bool QtSerialDevice::lost() {
    checkLost();
    return lost_;
}

void QtSerialDevice::markLost() {
    lost_ = true;
    // No waiting for queued bytes: nobody is there to take them.
    port_->clearError();
    port_->close();
    port_->clearError();
}

void QtSerialDevice::checkLost() {
    if (lost_ || !port_->isOpen())
        return;
    const QSerialPort::SerialPortError error = port_->error();
    if (error == QSerialPort::ResourceError) {
        markLost();
        return;
    }
    // Time-outs of the zero waits and one-off read or write errors are not reported.
    if (error != QSerialPort::NoError)
        port_->clearError();
#if defined(Q_OS_UNIX)
    // A hung-up line (the far end of a pseudo-terminal gone, a USB adapter pulled) reads as
    // end of file for ever without raising any error: the descriptor's own state tells.
    pollfd p{port_->handle(), POLLIN, 0};
    if (::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0)
        markLost();
#endif
}

std::unique_ptr<SerialDevice> QtSerialBackend::open(const std::string& deviceName) {
    openError_.clear();
    if (deviceName.empty())
        return nullptr;
    auto port = std::make_unique<QSerialPort>();
    port->setPortName(QString::fromStdString(deviceName));
    if (!port->open(QIODevice::ReadWrite)) {
        openError_ = port->errorString().toStdString();
        return nullptr;
    }
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
