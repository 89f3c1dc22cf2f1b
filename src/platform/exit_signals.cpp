#include "platform/exit_signals.h"

#include <signal.h>

#include <csignal>
#include <initializer_list>

namespace cvh {

namespace {
volatile std::sig_atomic_t signalled = 0;
extern "C" void onExitSignal(int signal) {
    if (signalled == 0)
        signalled = signal;
}
}  // namespace

void installExitSignalHandlers() {
    // sigaction with SA_RESTART: a system call the signal interrupts is resumed, not failed.
    struct sigaction action {};
    action.sa_handler = onExitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

bool exitSignalled() {
    return signalled != 0;
}

int exitSignal() {
    return signalled;
}

}  // namespace cvh
