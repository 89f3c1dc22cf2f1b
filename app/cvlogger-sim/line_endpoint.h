// The logger's end of the serial line: the master side of a new pseudo-terminal (the host
// opens the slave path) or a serial device opened directly. Reads and writes never block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cvh::sim {

class LineEndpoint {
public:
    // A new pseudo-terminal whose slave is raw from the start, so nothing the logger writes
    // before the host opens it is echoed back as if the host had sent it.
    static std::unique_ptr<LineEndpoint> openPseudoTerminal(std::string& error);
    // An existing device (a serial port, or a pseudo-terminal slave another program made),
    // raw at `baud` (0 keeps its speed).
    static std::unique_ptr<LineEndpoint> openDevice(const std::string& path, std::uint32_t baud,
                                                    std::string& error);
    ~LineEndpoint();
    LineEndpoint(const LineEndpoint&) = delete;
    LineEndpoint& operator=(const LineEndpoint&) = delete;

    int fd() const { return fd_; }
    // What the host opens: the slave path, or the device itself.
    const std::string& hostPath() const { return hostPath_; }
    bool isPseudoTerminal() const { return pty_; }

    enum class ReadResult { Data, Nothing, Gone };
    ReadResult read(std::vector<std::uint8_t>& out);
    // Bytes written (possibly fewer than given); -1 when the far end is gone.
    long write(const std::uint8_t* bytes, std::size_t count);
    // Throws away what is queued in both directions (used when the host closes the line, so a
    // host that opens it again does not get stale packets).
    void discardQueued();

private:
    LineEndpoint(int fd, std::string hostPath, bool pty)
        : fd_(fd), hostPath_(std::move(hostPath)), pty_(pty) {}

    int fd_;
    std::string hostPath_;
    bool pty_;
};

}  // namespace cvh::sim
