#include "sim_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cvh::sim {

namespace {

// A line that cannot keep up (a slow baud, a host that stopped reading) loses whole packets
// beyond this backlog, as a logger's full output buffer would.
constexpr std::size_t kMaxBacklog = 256 * 1024;
// How often to look whether a host has opened the pseudo-terminal again.
constexpr int kHostCheckMs = 200;

}  // namespace

StopPipe::StopPipe() {
    if (::pipe(fds_) == 0) {
        for (int fd : fds_)
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
}

StopPipe::~StopPipe() {
    for (int fd : fds_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void StopPipe::notify() const {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(fds_[1], &c, 1);
}

SimRunner::SimRunner(SimLogger& logger, LineEndpoint& line, FaultInjector& faults, LinePacer& pacer,
                     const Clock& clock, const StopPipe& stop)
    : logger_(logger),
      line_(line),
      faults_(faults),
      pacer_(pacer),
      clock_(clock),
      stop_(stop),
      hostPresent_(!line.isPseudoTerminal()) {}

void SimRunner::queueOutput() {
    std::vector<std::uint8_t> bytes;
    for (const OutChunk& chunk : logger_.takeOutput()) {
        bytes.clear();
        const LineFate fate = faults_.apply(chunk.bytes, chunk.packet, bytes);
        const bool lost = !hostPresent_ || out_.size() + bytes.size() > kMaxBacklog;
        if (sentLog_ && chunk.packet)
            sentLog_->note(chunk.bytes, lost ? LineFate::Dropped : fate);
        if (lost) {
            counters_.bytesDropped += bytes.size();
            continue;
        }
        out_.insert(out_.end(), bytes.begin(), bytes.end());
    }
}

void SimRunner::writeSome(std::int64_t nowMs) {
    if (!hostPresent_ || out_.empty())
        return;
    const std::size_t allowed = std::min(pacer_.allowance(nowMs), out_.size());
    if (allowed == 0)
        return;
    std::vector<std::uint8_t> chunk(
        out_.begin(),
        out_.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(allowed, 65536)));
    const long n = line_.write(chunk.data(), chunk.size());
    if (n > 0) {
        out_.erase(out_.begin(), out_.begin() + n);
        pacer_.sent(static_cast<std::size_t>(n));
        counters_.bytesOut += static_cast<std::uint64_t>(n);
    }
}

void SimRunner::run() {
    std::vector<std::uint8_t> input;
    for (;;) {
        logger_.update();
        queueOutput();
        const std::int64_t now = clock_.milliseconds();
        writeSome(now);

        std::int64_t timeout = std::max<std::int64_t>(0, logger_.nextDueMs() - now);
        short lineEvents = POLLIN;
        if (hostPresent_ && !out_.empty()) {
            const std::int64_t wait = pacer_.waitMs(out_.size(), now);
            if (wait > 0) {
                timeout = std::min(timeout, wait);
            } else {
                lineEvents |= POLLOUT;  // the line is full: wake when it has room
            }
        }
        if (!hostPresent_)
            timeout = std::min<std::int64_t>(timeout, kHostCheckMs);

        pollfd fds[2] = {{stop_.readFd(), POLLIN, 0}, {line_.fd(), lineEvents, 0}};
        // Without a host the master reports a hang-up at once; look at it only on the timer.
        const nfds_t count = hostPresent_ ? 2 : 1;
        const int ready =
            ::poll(fds, count, static_cast<int>(std::min<std::int64_t>(timeout, 60000)));
        ++counters_.wakeUps;
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents & POLLIN)
            return;

        if (!hostPresent_) {
            pollfd probe{line_.fd(), POLLIN, 0};
            if (::poll(&probe, 1, 0) >= 0 && !(probe.revents & POLLHUP)) {
                hostPresent_ = true;
                ++counters_.hostConnects;
                if (logger_.log)
                    logger_.log("host opened the line");
            }
            continue;
        }
        const short revents = fds[1].revents;
        bool gone = false;
        if (revents & POLLIN) {
            input.clear();
            const auto r = line_.read(input);
            if (r == LineEndpoint::ReadResult::Data) {
                counters_.bytesIn += input.size();
                logger_.receive(input);
            }
            gone = r == LineEndpoint::ReadResult::Gone;
        }
        if ((revents & (POLLHUP | POLLERR)) && !(revents & POLLIN))
            gone = true;
        if (!gone)
            continue;
        if (!line_.isPseudoTerminal()) {
            if (logger_.log)
                logger_.log("the device has gone");
            return;
        }
        hostPresent_ = false;
        counters_.bytesDropped += out_.size();
        out_.clear();
        line_.discardQueued();
        if (logger_.log)
            logger_.log("host closed the line");
    }
}

}  // namespace cvh::sim
