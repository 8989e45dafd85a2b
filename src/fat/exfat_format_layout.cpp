#include "fat/exfat_format_layout.h"

#include <bit>

namespace kesp::fat {
namespace {

constexpr std::uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB, TiB = GiB * KiB;
constexpr std::uint32_t kSectorBytes = 512; // what mkfs.exfat assumes of an image file
constexpr std::uint64_t kBoundaryBytes = MiB;
constexpr std::uint32_t kBootRegionsSectors = 24;
constexpr std::uint64_t kMaximumClusters = 0xFFFFFFF5;

std::uint64_t roundUp(std::uint64_t value, std::uint64_t unit) {
    return (value + unit - 1) / unit * unit;
}

// mkfs.exfat's round_up on 32-bit values wraps where the true result reaches 2^32.
std::uint32_t roundUp32(std::uint32_t value, std::uint32_t unit) {
    return ((value - 1) | (unit - 1)) + 1;
}

// The bitmap, up-case table and root folder from cluster 2; false when they do not fit.
bool placeSystemClusters(ExfatLayout& layout) {
    const std::uint64_t bitmapBytes = (std::uint64_t{layout.clusterCount} + 7) / 8;
    layout.bitmapClusters =
        static_cast<std::uint32_t>(roundUp(bitmapBytes, layout.clusterBytes) / layout.clusterBytes);
    layout.upcaseClusters = static_cast<std::uint32_t>(
        roundUp(kExfatUpcaseBytes, layout.clusterBytes) / layout.clusterBytes);
    layout.rootClusters = 1;
    return std::uint64_t{layout.systemClusters()} <= layout.clusterCount;
}

} // namespace

std::optional<ExfatLayout> mkfsExfatLayout(std::uint64_t volumeBytes, std::uint32_t clusterBytes) {
    if (!std::has_single_bit(clusterBytes) || clusterBytes < kSectorBytes ||
        clusterBytes > kExfatMaximumClusterBytes)
        return std::nullopt;
    // 1.2.0 sizes the FAT for the clusters of the whole image, counted in 32 bits.
    const auto imageClusters = static_cast<std::uint32_t>(volumeBytes / clusterBytes);
    if (imageClusters > 0xFFFFFFFFu / 4) return std::nullopt;
    ExfatLayout layout;
    layout.volumeBytes = volumeBytes;
    layout.clusterBytes = clusterBytes;
    layout.fatOffset = roundUp(kBootRegionsSectors * kSectorBytes, kBoundaryBytes);
    layout.fatBytes = roundUp32(imageClusters * 4, clusterBytes);
    layout.heapOffset =
        static_cast<std::uint32_t>(roundUp(layout.fatOffset + layout.fatBytes, kBoundaryBytes));
    if (volumeBytes <= layout.heapOffset) return std::nullopt;
    const std::uint64_t clusters = (volumeBytes - layout.heapOffset) / clusterBytes;
    if (clusters > kMaximumClusters) return std::nullopt;
    layout.clusterCount = static_cast<std::uint32_t>(clusters);
    if ((clusters + 2) * 4 > layout.fatBytes) return std::nullopt;
    if (!placeSystemClusters(layout)) return std::nullopt;
    return layout;
}

std::uint32_t mkfsExfatDefaultClusterBytes(std::uint64_t volumeBytes) {
    if (volumeBytes <= 256 * MiB) return 4 * KiB;
    if (volumeBytes <= 32 * GiB) return 32 * KiB;
    return 128 * KiB;
}

std::optional<SdExfatParameters> sdExfatParameters(std::uint64_t cardBytes) {
    if (cardBytes <= 32 * GiB || cardBytes > 2 * TiB) return std::nullopt;
    if (cardBytes <= 128 * GiB) return SdExfatParameters{128 * KiB, 16 * MiB};
    if (cardBytes <= 512 * GiB) return SdExfatParameters{256 * KiB, 32 * MiB};
    return SdExfatParameters{512 * KiB, 64 * MiB};
}

std::optional<ExfatLayout> sdExfatLayout(std::uint64_t cardBytes) {
    const auto sd = sdExfatParameters(cardBytes);
    if (!sd) return std::nullopt;
    const std::uint64_t unit = sd->boundaryBytes;
    ExfatLayout layout;
    layout.partitionOffset = unit;
    layout.volumeBytes = cardBytes - unit;
    layout.clusterBytes = sd->clusterBytes;
    layout.fatOffset = unit / 2;
    layout.fatBytes = unit / 2;
    layout.heapOffset = unit;
    layout.clusterCount = static_cast<std::uint32_t>((cardBytes - 2 * unit) / sd->clusterBytes);
    if (!placeSystemClusters(layout)) return std::nullopt;
    return layout;
}

} // namespace kesp::fat
