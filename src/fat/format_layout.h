#pragma once
// The layout mkfs.fat (dosfstools 4.2) gives a volume when the FAT width and the cluster size are
// both forced (`mkfs.fat -F T -s S -S 512`) on an image file of a given size. The figures follow
// its arithmetic step by step, rounding included, so that a plan made from them matches what the
// formatter really writes.
#include <cstdint>
#include <optional>

#include "fat/fat_type.h"

namespace kesp::fat {

inline constexpr std::uint32_t kSectorBytes = 512;
// The largest volume FAT addresses: 2^32 - 1 sectors.
inline constexpr std::uint64_t kLargestVolumeBytes = std::uint64_t{0xFFFFFFFF} * kSectorBytes;
inline constexpr std::uint32_t kFatCopies = 2;

struct FormatLayout {
    FatType bits = FatType::Fat32;
    std::uint32_t sectorsPerCluster = 1;
    std::uint32_t totalSectors = 0; // rounded down to whole tracks, as mkfs.fat does
    std::uint32_t reservedSectors = 0;
    std::uint32_t sectorsPerFat = 0;
    std::uint32_t rootEntries = 0; // the fixed root of FAT12/16; 0 on FAT32
    std::uint32_t clusterCount = 0;

    std::uint32_t clusterBytes() const { return sectorsPerCluster * kSectorBytes; }
    std::uint64_t fatBytes() const { return std::uint64_t{sectorsPerFat} * kSectorBytes; }
    std::uint32_t rootSectors() const {
        return (rootEntries * 32 + kSectorBytes - 1) / kSectorBytes;
    }
    std::uint64_t firstDataSector() const {
        return std::uint64_t{reservedSectors} + kFatCopies * std::uint64_t{sectorsPerFat} +
               rootSectors();
    }
    std::uint64_t dataBytes() const { return std::uint64_t{clusterCount} * clusterBytes(); }
    // Reserved sectors, both FATs and the fixed root: what the volume spends before any file.
    std::uint64_t overheadBytes() const { return firstDataSector() * kSectorBytes; }
};

// The layout mkfs.fat makes for `volumeBytes` with `sectorsPerCluster` (1, 2, 4 … 128); nullopt
// where it refuses (too few or too many clusters for that width, or too small a volume).
std::optional<FormatLayout> mkfsLayout(FatType bits, std::uint32_t sectorsPerCluster,
                                       std::uint64_t volumeBytes);

// What mkfs.fat makes when asked for neither width nor cluster size: FAT12 or FAT16 below
// 512 MiB, FAT32 from there, with its own starting cluster size doubled until the count fits.
std::optional<FormatLayout> mkfsDefaultLayout(std::uint64_t volumeBytes);

// The cluster-count limits drivers agree on, and the counts between them where they do not.
inline constexpr std::uint32_t kMaxFat12Clusters = 4084;
inline constexpr std::uint32_t kMinFat16Clusters = 4087;
inline constexpr std::uint32_t kMaxFat16Clusters = 65524;
inline constexpr std::uint32_t kMinFat32Clusters = 65526;
inline constexpr std::uint32_t kMaxFat32Clusters = 268435446; // mkfs.fat's ceiling

} // namespace kesp::fat
