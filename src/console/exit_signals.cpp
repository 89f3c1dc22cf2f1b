#include "console/exit_signals.h"

#include <csignal>

namespace cvh {

namespace {
volatile std::sig_atomic_t signalled = 0;
extern "C" void onExitSignal(int) {
    signalled = 1;
}
}  // namespace

void installExitSignalHandlers() {
    std::signal(SIGINT, onExitSignal);
    std::signal(SIGTERM, onExitSignal);
}

bool exitSignalled() {
    return signalled != 0;
}

}  // namespace cvh
