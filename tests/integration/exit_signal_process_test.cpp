// The program itself ended by the signals a terminal, a user or a shutting-down system sends:
// cvhost started offscreen in a fresh directory with a start-up box waiting for OK, then
// signalled. It must end within a second as a confirmed exit does, "last.cvh" stored; when that
// file cannot be stored it says so on standard error and ends with a failure status.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/child_process.h"
#include "support/temp_dir.h"

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
    test::ChildProcess cvhost;
    if (!cvhost.start({CVHOST_PATH}, dir, {"QT_QPA_PLATFORM=offscreen"}))
        return ended;
    // Long enough for the window, its timers and the start-up box (a sanitizer build is slow).
    std::this_thread::sleep_for(2500ms);
    const auto sent = Clock::now();
    cvhost.signal(signal);
    ended.status = cvhost.wait(5s);
    ended.exited = ended.status >= 0;
    ended.after = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sent);
    ended.errors = cvhost.err();
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
