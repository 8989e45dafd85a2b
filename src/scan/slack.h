#pragma once
#include <cstdint>

namespace kesp {

// The space a file of `size` bytes occupies in whole clusters of `cluster` bytes (> 0).
inline std::uint64_t roundUpToCluster(std::uint64_t size, std::uint64_t cluster) {
    const std::uint64_t whole = size / cluster;
    return (size % cluster == 0 ? whole : whole + 1) * cluster;
}

// The cluster sizes of the what-if totals, TotalReel2048 ... TotalReel32768.
inline constexpr std::uint64_t kWhatIfClusters[5] = {2048, 4096, 8192, 16384, 32768};

} // namespace kesp
