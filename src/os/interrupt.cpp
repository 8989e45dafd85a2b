#include "os/interrupt.h"

#include <csignal>

namespace kesp {

namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void onInterrupt(int signal) {
    if (gSignal == 0) gSignal = signal;
}

#ifdef _WIN32
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGBREAK};
void (*gPrevious[3])(int) = {SIG_DFL, SIG_DFL, SIG_DFL};
#else
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};
struct sigaction gPrevious[4]{};
#endif

} // namespace

InterruptGuard::InterruptGuard() {
    gSignal = 0;
#ifdef _WIN32
    for (int i = 0; i < 3; ++i)
        gPrevious[i] = std::signal(kStopSignals[i], onInterrupt);
#else
    for (int i = 0; i < 4; ++i) {
        struct sigaction action {};
        // A second signal while the cancel completes is noted too: ending the process then
        // would leave the files unfinished.
        action.sa_handler = kStopSignals[i] == SIGPIPE ? SIG_IGN : onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(kStopSignals[i], &action, &gPrevious[i]);
    }
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef _WIN32
    for (int i = 0; i < 3; ++i)
        std::signal(kStopSignals[i], gPrevious[i]);
#else
    for (int i = 0; i < 4; ++i)
        sigaction(kStopSignals[i], &gPrevious[i], nullptr);
#endif
}

bool InterruptGuard::interrupted() {
    return gSignal != 0;
}

int InterruptGuard::signalNumber() {
    return gSignal;
}

} // namespace kesp
