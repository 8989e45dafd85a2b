#pragma once
#include <atomic>

namespace kesp {

// Asks a walk to stop; the walk looks before every entry. May be requested from a signal handler.
class StopToken {
public:
    void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
    bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> requested_{false};
};

} // namespace kesp
