#include "os/interrupt.h"

#include <csignal>

namespace kesp {

namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void onInterrupt(int signal) {
    if (gSignal == 0) gSignal = signal;
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction gPrevious[4]{};

} // namespace

InterruptGuard::InterruptGuard() {
    gSignal = 0;
    for (int i = 0; i < 4; ++i) {
        struct sigaction action {};
        // A second signal while the cancel completes is noted too: ending the process then
        // would leave the files unfinished.
        action.sa_handler = kStopSignals[i] == SIGPIPE ? SIG_IGN : onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(kStopSignals[i], &action, &gPrevious[i]);
    }
}

InterruptGuard::~InterruptGuard() {
    for (int i = 0; i < 4; ++i)
        sigaction(kStopSignals[i], &gPrevious[i], nullptr);
}

bool InterruptGuard::interrupted() {
    return gSignal != 0;
}

int InterruptGuard::signalNumber() {
    return gSignal;
}

int closedOutputSignal() {
    return SIGPIPE;
}

} // namespace kesp
