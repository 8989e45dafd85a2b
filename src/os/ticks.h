#pragma once
#include <cstdint>

namespace kesp {

// Milliseconds since an arbitrary origin, as a 32-bit value that wraps. Compare two readings only
// by unsigned subtraction.
class TickCounter {
public:
    virtual ~TickCounter() = default;
    virtual std::uint32_t now() = 0;
};

} // namespace kesp
