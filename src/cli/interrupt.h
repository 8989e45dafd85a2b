#pragma once

namespace kesp {

// Catches SIGINT while alive: the first one is only noted, a second one ends the process as
// usual. The previous handling is restored on destruction.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    static bool interrupted();
};

} // namespace kesp
