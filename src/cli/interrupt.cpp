#include "cli/interrupt.h"

#include <csignal>

namespace kesp {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) {
    gInterrupted = 1;
}

#ifdef _WIN32
// The C runtime resets the handler before calling it, so a second Ctrl+C ends the process.
void (*gPrevious)(int) = SIG_DFL;
#else
struct sigaction gPrevious {};
#endif

} // namespace

InterruptGuard::InterruptGuard() {
    gInterrupted = 0;
#ifdef _WIN32
    gPrevious = std::signal(SIGINT, onInterrupt);
#else
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, &gPrevious);
#endif
}

InterruptGuard::~InterruptGuard() {
#ifdef _WIN32
    std::signal(SIGINT, gPrevious);
#else
    sigaction(SIGINT, &gPrevious, nullptr);
#endif
}

bool InterruptGuard::interrupted() {
    return gInterrupted != 0;
}

} // namespace kesp
