#pragma once
#include <cstdint>

namespace kesp {

// The space a file of `size` bytes occupies in whole clusters of `cluster` bytes (> 0).
inline std::uint64_t roundUpToCluster(std::uint64_t size, std::uint64_t cluster) {
    const std::uint64_t whole = size / cluster;
    return (size % cluster == 0 ? whole : whole + 1) * cluster;
}

} // namespace kesp
