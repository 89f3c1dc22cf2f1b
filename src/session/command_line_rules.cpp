#include "session/command_line_rules.h"

#include <algorithm>

namespace cvh {

int uploadExitStatus(const std::vector<RunResult>& results, int signal) {
    if (signal != 0)
        return interruptedStatus(signal);
    const bool allWhole = std::all_of(results.begin(), results.end(),
                                      [](RunResult r) { return r == RunResult::Complete; });
    return allWhole ? kExitDone : kExitFailed;
}

}  // namespace cvh
