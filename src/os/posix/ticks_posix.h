#pragma once
#include "os/ticks.h"

namespace kesp {

// CLOCK_MONOTONIC in milliseconds, truncated to 32 bits (wraps every 49.7 days).
class PosixTicks final : public TickCounter {
public:
    std::uint32_t now() override;
};

} // namespace kesp
