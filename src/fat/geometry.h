#pragma once
// Where a FAT volume keeps its parts, in bytes from the volume's first byte.
#include <cstdint>

#include "fat/boot_sector.h"

namespace kesp::fat {

struct Geometry {
    FatType type = FatType::Fat12;
    std::uint64_t fatOffset = 0;   // the first FAT
    std::uint64_t fatBytes = 0;    // one FAT
    std::uint64_t rootOffset = 0;  // FAT12/16: the fixed root folder
    std::uint64_t rootBytes = 0;   // FAT12/16; 0 on FAT32
    std::uint32_t rootCluster = 0; // FAT32: the first cluster of the root folder
    std::uint64_t dataOffset = 0;  // cluster 2
    std::uint32_t clusterBytes = 0;
    std::uint32_t clusterCount = 0; // data clusters: numbers 2 to clusterCount + 1
    std::uint64_t volumeBytes = 0;  // as the boot sector counts it

    bool validCluster(std::uint32_t cluster) const {
        return cluster >= 2 && std::uint64_t(cluster) <= std::uint64_t(clusterCount) + 1;
    }
    // Only for a valid cluster.
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return dataOffset + std::uint64_t(cluster - 2) * clusterBytes;
    }
};

Geometry geometryOf(const FatBootSector& boot);

} // namespace kesp::fat
