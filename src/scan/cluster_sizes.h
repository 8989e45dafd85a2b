#pragma once
// The cluster sizes the what-if totals and the format plan know: every power of two from 512 B,
// FAT's smallest, to 32 MiB, exFAT's largest.
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace kesp {

inline constexpr std::array<std::uint32_t, 17> kClusterSizes = [] {
    std::array<std::uint32_t, 17> sizes{};
    for (std::size_t i = 0; i < sizes.size(); ++i)
        sizes[i] = std::uint32_t{512} << i;
    return sizes;
}();

// The index in kClusterSizes of one of its sizes.
constexpr std::size_t clusterSizeIndex(std::uint64_t clusterBytes) {
    return static_cast<std::size_t>(std::countr_zero(clusterBytes) - 9);
}

// `size` rounded up to whole clusters of `cluster`, a power of two: a mask, no division.
constexpr std::uint64_t roundUpToPowerOfTwo(std::uint64_t size, std::uint64_t cluster) {
    return size + ((0 - size) & (cluster - 1));
}

} // namespace kesp
