// A program run as a child process in a directory of the test's choosing, its standard output
// and error kept in files beside the directory, for end-to-end tests of the command-line tools.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace cvh::test {

// Waits at most `limit` for the child to end; its wait status, or nothing (it is then killed).
inline std::optional<int> waitForChild(pid_t pid, std::chrono::milliseconds limit) {
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + limit;
    pid_t done = 0;
    while ((done = ::waitpid(pid, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done != 0)
        return status;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return std::nullopt;
}

class ChildProcess {
public:
    ~ChildProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        std::error_code ec;
        std::filesystem::remove(outPath_, ec);
        std::filesystem::remove(errPath_, ec);
    }

    // Starts `args` (program first) in `dir`, with `env` ("NAME=value") before the inherited
    // environment.
    bool start(std::vector<std::string> args, const std::filesystem::path& dir,
               std::vector<std::string> env = {}) {
        const std::string stem = (dir.parent_path() / dir.filename()).string();
        outPath_ = stem + ".out";
        errPath_ = stem + ".err";
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (char** e = environ; *e != nullptr; ++e)
            env.emplace_back(*e);
        std::vector<char*> envp;
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
        posix_spawn_file_actions_addopen(&actions, 1, outPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int spawned =
            ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0)
            pid_ = -1;
        return pid_ > 0;
    }

    void signal(int number) const {
        if (pid_ > 0)
            ::kill(pid_, number);
    }

    // The exit status once it ended by itself within `limit`; -1 when it did not (it is then
    // killed) or ended by a signal.
    int wait(std::chrono::milliseconds limit) {
        if (pid_ <= 0)
            return -1;
        const auto status = waitForChild(pid_, limit);
        pid_ = -1;
        return status && WIFEXITED(*status) ? WEXITSTATUS(*status) : -1;
    }

    std::string out() const { return read(outPath_); }
    std::string err() const { return read(errPath_); }

private:
    static std::string read(const std::string& path) {
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    pid_t pid_ = -1;
    std::string outPath_;
    std::string errPath_;
};

}  // namespace cvh::test
