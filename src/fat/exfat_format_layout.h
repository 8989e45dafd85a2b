#pragma once
// The layouts an exFAT volume gets from its formatter: mkfs.exfat (exfatprogs 1.2.0, the one in
// Debian 12) on an image file of a given size with a forced cluster size, and the SD
// Association's layout of an SDXC card. The figures follow each formatter's arithmetic, so that
// a plan made from them matches what the volume really holds after formatting.
#include <cstdint>
#include <optional>

namespace kesp::fat {

// The compressed up-case table every formatter here writes.
inline constexpr std::uint32_t kExfatUpcaseBytes = 5836;
inline constexpr std::uint32_t kExfatMaximumClusterBytes = 32u * 1024 * 1024;

struct ExfatLayout {
    std::uint64_t partitionOffset =
        0; // bytes before the volume on its disk (SD: one boundary unit)
    std::uint64_t volumeBytes = 0;
    std::uint32_t clusterBytes = 0;
    std::uint64_t fatOffset = 0; // bytes from the volume's start
    std::uint64_t fatBytes = 0;
    std::uint64_t heapOffset = 0; // cluster 2
    std::uint32_t clusterCount = 0;
    // The allocation bitmap, the up-case table and the root folder follow each other from
    // cluster 2.
    std::uint32_t bitmapClusters = 0;
    std::uint32_t upcaseClusters = 0;
    std::uint32_t rootClusters = 1;

    std::uint32_t bitmapCluster() const { return 2; }
    std::uint32_t upcaseCluster() const { return bitmapCluster() + bitmapClusters; }
    std::uint32_t rootCluster() const { return upcaseCluster() + upcaseClusters; }
    std::uint32_t systemClusters() const { return bitmapClusters + upcaseClusters + rootClusters; }
    // Free right after formatting.
    std::uint32_t freeClusters() const { return clusterCount - systemClusters(); }
    std::uint64_t heapBytes() const { return std::uint64_t{clusterCount} * clusterBytes; }
};

// The layout `mkfs.exfat -c clusterBytes` makes on an image of `volumeBytes`; nullopt where it
// refuses, and where it would write a volume that cannot hold its own bitmap, up-case table and
// root folder, or a FAT too short for its clusters (1.2.0 does both at some sizes).
std::optional<ExfatLayout> mkfsExfatLayout(std::uint64_t volumeBytes, std::uint32_t clusterBytes);

// The cluster size mkfs.exfat 1.2.0 picks without -c: 4 KiB up to 256 MiB, 32 KiB up to 32 GiB,
// 128 KiB above.
std::uint32_t mkfsExfatDefaultClusterBytes(std::uint64_t volumeBytes);

// The SD Association's cluster size and boundary unit for an SDXC card (over 32 GiB, up to
// 2 TiB); nullopt for other capacities.
struct SdExfatParameters {
    std::uint32_t clusterBytes = 0;
    std::uint64_t boundaryBytes = 0;
};
std::optional<SdExfatParameters> sdExfatParameters(std::uint64_t cardBytes);

// The layout of a whole SDXC card of `cardBytes` as it leaves the factory or the SD formatter:
// the partition starts one boundary unit in, its FAT at half a unit and the heap at one unit.
std::optional<ExfatLayout> sdExfatLayout(std::uint64_t cardBytes);

} // namespace kesp::fat
