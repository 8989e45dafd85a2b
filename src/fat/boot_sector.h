#pragma once
// The FAT boot sector and the root folder's volume-label entry, read from bytes. Pure functions:
// hostile input is rejected, never trusted, and a sector that is accepted always has a non-zero
// cluster size.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fat/byte_reader.h"
#include "fat/fat_type.h"

namespace kesp::fat {

struct FatBootSector {
    std::uint32_t bytesPerSector = 0;    // 512, 1024, 2048 or 4096
    std::uint32_t sectorsPerCluster = 0; // a power of two, 1 to 128
    std::uint32_t reservedSectors = 0;
    std::uint32_t fatCount = 0;
    std::uint32_t sectorsPerFat = 0;
    std::uint32_t rootEntryCount = 0; // FAT12/16 only; 0 on FAT32
    std::uint32_t rootCluster = 0;    // FAT32 only
    std::uint64_t totalSectors = 0;
    std::uint32_t clusterCount = 0; // data clusters
    FatType type = FatType::Fat12;  // FAT32 by its layout; FAT12 or FAT16 by the cluster count
    std::uint32_t serial = 0;       // 0 without an extended boot record
    std::string label;              // boot-sector label, trailing blanks cut; empty for "NO NAME"

    static constexpr std::uint32_t kFat32MinimumClusters = 65525;

    std::uint32_t clusterSize() const { return bytesPerSector * sectorsPerCluster; }
    std::uint64_t firstDataSector() const;
    // A FAT32 layout with fewer clusters than the count that marks FAT32: drivers that go by
    // the count (Windows, many devices, mtools) refuse it.
    bool fat32BelowMinimum() const {
        return type == FatType::Fat32 && clusterCount < kFat32MinimumClusters;
    }
};

// What the partition report says about the layout (French, one line): a FAT32 volume below the
// FAT32 cluster count; empty otherwise.
std::string fatLayoutRemark(const FatBootSector& boot);

// nullopt unless `sector` (the first sector of the volume, at least 512 bytes) is a consistent
// FAT boot sector. A FAT32 layout is FAT32 at any cluster count (see fat32BelowMinimum()); a
// FAT12/16 layout with 65525 clusters or more is rejected.
std::optional<FatBootSector> parseFatBootSector(std::span<const std::uint8_t> sector);

// A label as stored (11 bytes, blank-padded): trailing blanks cut, a leading 0x05 read as 0xE5,
// and "NO NAME" read as no label.
std::string fatLabelText(std::span<const std::uint8_t> stored);

// Scans 32-byte folder entries for the volume-label entry. Sets `end` when the end-of-folder
// marker was met (no later entry can follow).
std::optional<std::string> findVolumeLabelEntry(std::span<const std::uint8_t> entries, bool& end);

// The root folder's volume-label entry, read from `volume` (the fixed root region on FAT12/16,
// the cluster chain on FAT32, bounded against loops). nullopt when the root holds no label entry
// or cannot be read.
std::optional<std::string> readRootVolumeLabel(const FatBootSector& boot, ByteReader& volume);

} // namespace kesp::fat
