// Rules of the command-line program that need no serial port to decide: when a run directory
// is complete, when a progress line may be written again, and which exit status a command
// ends with.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "files/run_receipt.h"

namespace cvh {

// The logger marks no end of its directory: it is taken as complete once no entry has come
// for 2 s after the last one, or 5 s after the request when none comes at all.
class DirectoryWait {
public:
    static constexpr std::int64_t kAfterLastEntryMs = 2000;
    static constexpr std::int64_t kWithoutEntryMs = 5000;

    void requested(std::int64_t nowMs) {
        requestMs_ = nowMs;
        lastEntryMs_.reset();
    }
    void entryArrived(std::int64_t nowMs) { lastEntryMs_ = nowMs; }
    bool complete(std::int64_t nowMs) const {
        return lastEntryMs_ ? nowMs - *lastEntryMs_ >= kAfterLastEntryMs
                            : nowMs - requestMs_ >= kWithoutEntryMs;
    }

private:
    std::int64_t requestMs_ = 0;
    std::optional<std::int64_t> lastEntryMs_;
};

// A progress line at most once a second; the last one of a run is always written.
class ProgressThrottle {
public:
    static constexpr std::int64_t kPeriodMs = 1000;
    bool due(std::int64_t nowMs, bool final) {
        if (!final && lastMs_ && nowMs - *lastMs_ < kPeriodMs)
            return false;
        lastMs_ = nowMs;
        return true;
    }
    void reset() { lastMs_.reset(); }

private:
    std::optional<std::int64_t> lastMs_;
};

enum ExitStatus : int {
    kExitDone = 0,
    kExitFailed = 1,    // the logger answered, but the operation failed
    kExitUsage = 2,     // the command line, the port or a path given was unusable
    kExitNoLogger = 3,  // no status record within the time-out
};

// 128 + the signal, as shells report a program a signal ended.
inline int interruptedStatus(int signal) {
    return 128 + signal;
}

// An upload ends 0 only when every run asked for arrived whole and was kept; an interruption
// wins over everything else.
int uploadExitStatus(const std::vector<RunResult>& results, int signal);

}  // namespace cvh
