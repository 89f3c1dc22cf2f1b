// The simulated logger program as a child process on its own pseudo-terminal, for the tests and
// benchmarks that talk to it as a host would. The including target defines CVLOGGER_SIM_PATH.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"

extern char** environ;

namespace cvh::test {

// The real cvlogger-sim with its log (--verbose) in a file. The first line it prints is the
// device to open.
class SimProgram {
public:
    ~SimProgram() {
        stop();
        if (!logPath_.empty())
            std::remove(logPath_.c_str());
    }

    bool start(std::vector<std::string> args, std::string& error) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "cvlogger-sim-XXXXXX").string();
        const int logFd = ::mkstemp(pattern.data());
        if (logFd < 0) {
            error = "no log file";
            return false;
        }
        logPath_ = pattern;
        int out[2];
        if (::pipe(out) != 0) {
            ::close(logFd);
            error = "no pipe";
            return false;
        }
        args.insert(args.begin(), {CVLOGGER_SIM_PATH, "--verbose"});
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, logFd, 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        const int spawned =
            ::posix_spawn(&pid_, CVLOGGER_SIM_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(logFd);
        if (spawned != 0) {
            pid_ = -1;
            ::close(out[0]);
            error = "cannot start " CVLOGGER_SIM_PATH;
            return false;
        }

        // Read the device line; a sanitizer build may take a few seconds to start.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
        char c = 0;
        while (std::chrono::steady_clock::now() < end) {
            pollfd p{out[0], POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            if (::read(out[0], &c, 1) != 1 || c == '\n')
                break;
            device_ += c;
        }
        ::close(out[0]);
        if (c != '\n' || device_.empty()) {
            error = "cvlogger-sim printed no device; its log:\n" + log();
            return false;
        }
        return true;
    }

    const std::string& device() const { return device_; }

    // Ends the program with SIGTERM, as Ctrl-C in the demo does; true when it ended by itself
    // with status 0 (and so wrote its closing summary).
    bool stop() {
        if (pid_ <= 0)
            return false;
        ::kill(pid_, SIGTERM);
        const auto status = waitForChild(pid_, std::chrono::seconds(10));
        pid_ = -1;
        return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
    }

    std::string log() const {
        std::ifstream in(logPath_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    int logCount(const std::string& what) const {
        const std::string text = log();
        int n = 0;
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
            ++n;
        return n;
    }

private:
    pid_t pid_ = -1;
    std::string device_;
    std::string logPath_;
};

}  // namespace cvh::test
