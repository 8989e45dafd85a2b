#pragma once
#include "os/ticks.h"

namespace kesp {

class Win32Ticks final : public TickCounter {
public:
    std::uint32_t now() override;
};

} // namespace kesp
