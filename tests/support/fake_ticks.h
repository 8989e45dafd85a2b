#pragma once
// A tick counter moved by hand. Each reading returns `value`, then adds `step` to it.
#include <cstdint>

#include "os/ticks.h"

namespace kesp::test {

class FakeTicks : public TickCounter {
public:
    explicit FakeTicks(std::uint32_t start = 0, std::uint32_t step = 0)
        : value(start), step(step) {}
    std::uint32_t now() override {
        ++readings;
        const std::uint32_t v = value;
        value += step;
        return v;
    }
    void advance(std::uint32_t ms) { value += ms; }

    std::uint32_t value;
    std::uint32_t step;
    int readings = 0;
};

} // namespace kesp::test
