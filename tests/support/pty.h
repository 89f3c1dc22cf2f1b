// A pseudo-terminal pair for tests: the test plays the far end on the master side, the program
// opens the slave path as its serial device.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace cvh::test {

class Pty {
public:
    using Ms = std::chrono::milliseconds;

    Pty() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) {
            master_ = slave_ = -1;
            return;
        }
        slavePath_ = name;
        // Raw from the start, so nothing written before the program opens the slave is echoed.
        termios t{};
        ::tcgetattr(slave_, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(slave_, TCSANOW, &t);
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() {
        closeSlave();
        closeMaster();
    }
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool ok() const { return master_ >= 0; }
    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // The line settings the program gave the slave (a master reports its slave's settings).
    termios slaveSettings() const {
        termios t{};
        ::tcgetattr(master_, &t);
        return t;
    }

    // Writes everything, waiting at most `timeout` for room; false when it could not.
    bool write(const std::vector<std::uint8_t>& bytes, Ms timeout = Ms(2000)) {
        return write(bytes.data(), bytes.size(), timeout);
    }
    bool write(const std::uint8_t* bytes, std::size_t count, Ms timeout = Ms(2000)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::size_t done = 0;
        while (done < count) {
            const ssize_t n = ::write(master_, bytes + done, count - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return false;
            if (!waitFor(POLLOUT, end))
                return false;
        }
        return true;
    }

    // Reads until `want` bytes have come or `timeout` has passed.
    std::vector<std::uint8_t> read(std::size_t want, Ms timeout = Ms(2000)) {
        const auto end = std::chrono::steady_clock::now() + timeout;
        std::vector<std::uint8_t> out;
        std::uint8_t chunk[4096];
        while (out.size() < want) {
            const ssize_t n =
                ::read(master_, chunk,
                       sizeof chunk < want - out.size() ? sizeof chunk : want - out.size());
            if (n > 0) {
                out.insert(out.end(), chunk, chunk + n);
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                break;
            if (!waitFor(POLLIN, end))
                break;
        }
        return out;
    }

    // Everything that arrives until the line stays quiet for `quiet`.
    std::vector<std::uint8_t> readUntilQuiet(Ms quiet = Ms(100)) {
        std::vector<std::uint8_t> out;
        for (;;) {
            auto more = read(1u << 20, quiet);
            if (more.empty())
                return out;
            out.insert(out.end(), more.begin(), more.end());
        }
    }

    // The test's own hold on the slave keeps the pair alive while the program closes and
    // reopens it; dropping both ends makes the device vanish like an unplugged adapter.
    void closeSlave() {
        if (slave_ >= 0)
            ::close(slave_);
        slave_ = -1;
    }
    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    bool waitFor(short events, std::chrono::steady_clock::time_point end) {
        const auto left =
            std::chrono::duration_cast<Ms>(end - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return false;
        pollfd p{master_, events, 0};
        return ::poll(&p, 1, static_cast<int>(left)) > 0;
    }

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

}  // namespace cvh::test
