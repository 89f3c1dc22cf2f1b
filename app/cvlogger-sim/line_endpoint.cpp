#include "line_endpoint.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cvh::sim {

namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

speed_t speedOf(std::uint32_t baud) {
    switch (baud) {
        case 600:
            return B600;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

}  // namespace

std::unique_ptr<LineEndpoint> LineEndpoint::openPseudoTerminal(std::string& error) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0) {
        error = systemError("posix_openpt");
        return nullptr;
    }
    const char* name = nullptr;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !(name = ::ptsname(master))) {
        error = systemError("pseudo-terminal");
        ::close(master);
        return nullptr;
    }
    std::string path = name;
    // Settings made on the slave stay with it while the master is open, even after the slave
    // is closed again.
    const int slave = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        error = systemError("open slave");
        ::close(master);
        return nullptr;
    }
    termios t{};
    ::tcgetattr(slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(slave, TCSANOW, &t);
    ::close(slave);
    return std::unique_ptr<LineEndpoint>(new LineEndpoint(master, path, true));
}

std::unique_ptr<LineEndpoint> LineEndpoint::openDevice(const std::string& path, std::uint32_t baud,
                                                       std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error = systemError(path.c_str());
        return nullptr;
    }
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cflag |= CLOCAL | CREAD;
        if (const speed_t s = speedOf(baud); s != B0) {
            ::cfsetispeed(&t, s);
            ::cfsetospeed(&t, s);
        }
        ::tcsetattr(fd, TCSANOW, &t);
    }
    return std::unique_ptr<LineEndpoint>(new LineEndpoint(fd, path, false));
}

LineEndpoint::~LineEndpoint() {
    if (fd_ >= 0)
        ::close(fd_);
}

LineEndpoint::ReadResult LineEndpoint::read(std::vector<std::uint8_t>& out) {
    std::uint8_t buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
        out.insert(out.end(), buffer, buffer + n);
        return ReadResult::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return ReadResult::Nothing;
    }
    // A pseudo-terminal master reads EIO once the host has closed the slave.
    return ReadResult::Gone;
}

long LineEndpoint::write(const std::uint8_t* bytes, std::size_t count) {
    const ssize_t n = ::write(fd_, bytes, count);
    if (n >= 0)
        return static_cast<long>(n);
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
        return 0;
    return -1;
}

void LineEndpoint::discardQueued() {
    ::tcflush(fd_, TCIOFLUSH);
}

}  // namespace cvh::sim
