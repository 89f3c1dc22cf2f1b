// A serial adapter that can be pulled out and plugged in again: one end of a pseudo-terminal
// reachable under a fixed name, as /dev/serial/by-id names an adapter whatever tty number the
// system gives it this time. Also the process figures the loss tests watch.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "support/pty.h"

namespace cvh::test {

class PluggableDevice {
public:
    explicit PluggableDevice(std::filesystem::path link) : link_(std::move(link)) { plugIn(); }

    void plugIn() {
        pty_ = std::make_unique<Pty>();
        const auto fresh = link_.string() + ".new";
        std::filesystem::remove(fresh);
        std::filesystem::create_symlink(pty_->slavePath(), fresh);
        std::filesystem::rename(fresh, link_);
    }
    void pullOut() {
        std::filesystem::remove(link_);
        pty_.reset();
    }
    Pty& pty() { return *pty_; }
    const std::filesystem::path& path() const { return link_; }

private:
    std::filesystem::path link_;
    std::unique_ptr<Pty> pty_;
};

inline std::size_t openDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

inline double residentMegabytes() {
    long pages = 0;
    long resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / 1e6;
}

}  // namespace cvh::test
