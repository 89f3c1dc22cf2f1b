// The program itself ended by the signals a terminal, a user or a shutting-down system sends:
// cvhost started offscreen in a fresh directory with a start-up box waiting for OK, then
// signalled. It must end within a second as a confirmed exit does, "last.cvh" stored; when that
// file cannot be stored it says so on standard error and ends with a failure status.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace cvh {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Ended {
    bool exited = false;  // on its own, within the limit
    int status = -1;      // exit status
    std::chrono::milliseconds after{0};
    std::string errors;  // standard error
};

// Starts cvhost in `dir`, lets it come up, sends `signal` and waits at most 5 s for the end.
Ended runAndSignal(const std::filesystem::path& dir, int signal) {
    Ended ended;
    const std::string errPath = (dir.parent_path() / (dir.filename().string() + ".err")).string();
    std::vector<std::string> args{CVHOST_PATH};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen"};
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.emplace_back(*e);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    pid_t pid = -1;
    const int spawned =
        ::posix_spawn(&pid, CVHOST_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return ended;
    // Long enough for the window, its timers and the start-up box (a sanitizer build is slow).
    std::this_thread::sleep_for(2500ms);
    const auto sent = Clock::now();
    ::kill(pid, signal);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() - sent > 5s) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return ended;
        }
        std::this_thread::sleep_for(10ms);
    }
    ended.after = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
    ended.exited = WIFEXITED(status);
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream in(errPath);
    std::stringstream text;
    text << in.rdbuf();
    ended.errors = text.str();
    return ended;
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

TEST(ExitSignalProcess, HangUpTerminateAndInterruptStoreTheSetupWhileTheStartUpBoxWaits) {
    for (const int signal : {SIGHUP, SIGTERM, SIGINT}) {
        test::TempDir dir("cvh_exit_signal");
        // A line the program ignores and a bad "last.cvh": their boxes wait when the signal
        // comes.
        writeFile(dir / "comports.txt", "COM1 /dev/null\nnot a port line\n");
        writeFile(dir / "last.cvh", "not a host setup\n");
        const Ended ended = runAndSignal(dir.path(), signal);
        ASSERT_TRUE(ended.exited) << "signal " << signal << ": still running or killed";
        EXPECT_EQ(ended.status, 0) << signal << ": " << ended.errors;
        EXPECT_LT(ended.after, 1000ms) << signal;
        std::ifstream stored(dir / "last.cvh");
        std::string first;
        std::getline(stored, first);
        EXPECT_NE(first, "not a host setup") << signal << ": the setup was not stored";
    }
}

TEST(ExitSignalProcess, ASetupThatCannotBeStoredIsToldOnStandardErrorWithAFailureStatus) {
    struct Case {
        const char* name;
        bool needsNonRoot;  // the superuser writes into read-only folders regardless
    };
    for (const Case c : {Case{"read-only directory", true}, Case{"last.cvh a directory", false}}) {
        if (c.needsNonRoot && ::geteuid() == 0)
            continue;
        test::TempDir dir("cvh_exit_unstored");
        if (c.needsNonRoot)
            ::chmod(dir.str().c_str(), 0555);
        else
            std::filesystem::create_directory(dir / "last.cvh");
        const Ended ended = runAndSignal(dir.path(), SIGTERM);
        ::chmod(dir.str().c_str(), 0755);
        ASSERT_TRUE(ended.exited) << c.name;
        EXPECT_NE(ended.status, 0) << c.name;
        EXPECT_NE(ended.errors.find((dir / "last.cvh").string() + ": "), std::string::npos)
            << c.name << ": " << ended.errors;
    }
}

}  // namespace
}  // namespace cvh
