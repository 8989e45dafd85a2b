#include "cli/interrupt.h"

#include <csignal>

namespace kesp {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
struct sigaction gPrevious {};

extern "C" void onInterrupt(int) {
    gInterrupted = 1;
}

} // namespace

InterruptGuard::InterruptGuard() {
    gInterrupted = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &gPrevious);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &gPrevious, nullptr);
}

bool InterruptGuard::interrupted() {
    return gInterrupted != 0;
}

} // namespace kesp
