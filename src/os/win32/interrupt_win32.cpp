#include "os/interrupt.h"

#include <csignal>

namespace kesp {

namespace {

volatile std::sig_atomic_t gSignal = 0;

extern "C" void onInterrupt(int signal) {
    if (gSignal == 0) gSignal = signal;
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGBREAK};
void (*gPrevious[3])(int) = {SIG_DFL, SIG_DFL, SIG_DFL};

} // namespace

InterruptGuard::InterruptGuard() {
    gSignal = 0;
    for (int i = 0; i < 3; ++i)
        gPrevious[i] = std::signal(kStopSignals[i], onInterrupt);
}

InterruptGuard::~InterruptGuard() {
    for (int i = 0; i < 3; ++i)
        std::signal(kStopSignals[i], gPrevious[i]);
}

bool InterruptGuard::interrupted() {
    return gSignal != 0;
}

int InterruptGuard::signalNumber() {
    return gSignal;
}

int closedOutputSignal() {
    return 0;
}

} // namespace kesp
