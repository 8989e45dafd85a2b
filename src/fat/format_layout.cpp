#include "fat/format_layout.h"

#include <algorithm>
#include <limits>

namespace kesp::fat {
namespace {

std::uint64_t ceilDiv(std::uint64_t a, std::uint64_t b) {
    return (a + b - 1) / b;
}

// mkfs.fat on an image file: the track length it invents (SD card recommendation up to
// 256 MiB, LBA-assist above), and the floppy formats it recognises by size.
struct ImageGeometry {
    std::uint32_t sectorsPerTrack = 63;
    std::uint32_t rootEntries = 512;
};

ImageGeometry imageGeometry(std::uint64_t volumeBytes) {
    ImageGeometry g;
    const std::uint64_t sectors = volumeBytes / kSectorBytes;
    if (sectors <= 524288) g.sectorsPerTrack = sectors <= 4096 ? 16 : 32;
    switch (volumeBytes / 1024) {
    case 360:
    case 720:
        g = {9, 112};
        break;
    case 1200:
        g = {15, 224};
        break;
    case 1440:
        g = {18, 224};
        break;
    case 2880:
        g = {36, 224};
        break;
    default:
        break;
    }
    return g;
}

struct Candidate {
    std::uint64_t clusters = 0;
    std::uint64_t fatSectors = 0;
};

} // namespace

std::optional<FormatLayout> mkfsLayout(FatType bits, std::uint32_t sectorsPerCluster,
                                       std::uint64_t volumeBytes) {
    if (sectorsPerCluster == 0 || sectorsPerCluster > 128 ||
        (sectorsPerCluster & (sectorsPerCluster - 1)) != 0)
        return std::nullopt;
    const std::uint64_t s = sectorsPerCluster;
    const ImageGeometry geometry = imageGeometry(volumeBytes);

    // Sizes count in 1 KiB blocks plus an odd sector, capped at what 32 bits of sectors hold.
    std::uint64_t blocks = volumeBytes / 1024;
    std::uint64_t sectors = blocks * 2 + (volumeBytes % 1024) / kSectorBytes;
    if (sectors > std::numeric_limits<std::uint32_t>::max()) {
        sectors = std::numeric_limits<std::uint32_t>::max();
        blocks = sectors * kSectorBytes / 1024;
    }
    sectors = sectors / geometry.sectorsPerTrack * geometry.sectorsPerTrack;

    const bool fat32 = bits == FatType::Fat32;
    const std::uint64_t reserved = fat32 ? 32 : 1;
    const std::uint64_t rootEntries = fat32 ? 0 : geometry.rootEntries;
    const std::uint64_t rootSectors = ceilDiv(rootEntries * 32, kSectorBytes);
    // Floppy-sized volumes are packed; larger ones start each area on a cluster boundary.
    const bool aligned = sectors > 8192;
    const auto align = [&](std::uint64_t n) { return aligned ? ceilDiv(n, s) * s : n; };

    if (sectors < align(reserved) + (fat32 ? 0 : align(rootSectors))) return std::nullopt;
    const std::uint64_t fatData32 = sectors - align(reserved);
    const std::uint64_t fatData1216 = fatData32 - align(rootSectors);

    // A first estimate from the bytes, then the FAT length it implies, then the clusters that
    // really fit beside two FATs of that length; too many for the FAT or the width refuses.
    Candidate c;
    const std::uint64_t clusterBytes = s * kSectorBytes;
    const auto settle = [&](std::uint64_t fatData, std::uint64_t fatSectors) -> std::uint64_t {
        if (fatData < kFatCopies * fatSectors) return 0;
        return (fatData - kFatCopies * fatSectors) / s;
    };
    switch (bits) {
    case FatType::Fat12: {
        const std::uint64_t guess =
            2 * (fatData1216 * kSectorBytes + kFatCopies * 3) / (2 * clusterBytes + kFatCopies * 3);
        c.fatSectors = align(ceilDiv(((guess + 2) * 3 + 1) >> 1, kSectorBytes));
        c.clusters = settle(fatData1216, c.fatSectors);
        const std::uint64_t most =
            std::min<std::uint64_t>(c.fatSectors * 2 * kSectorBytes / 3, kMaxFat12Clusters);
        if (c.clusters > most) c.clusters = 0;
        break;
    }
    case FatType::Fat16: {
        const std::uint64_t guess =
            (fatData1216 * kSectorBytes + kFatCopies * 4) / (clusterBytes + kFatCopies * 2);
        c.fatSectors = align(ceilDiv((guess + 2) * 2, kSectorBytes));
        c.clusters = settle(fatData1216, c.fatSectors);
        const std::uint64_t most =
            std::min<std::uint64_t>(c.fatSectors * kSectorBytes / 2, kMaxFat16Clusters);
        if (c.clusters > most || c.clusters < kMinFat16Clusters) c.clusters = 0;
        break;
    }
    case FatType::Fat32: {
        const std::uint64_t guess =
            (fatData32 * kSectorBytes + kFatCopies * 8) / (clusterBytes + kFatCopies * 4);
        c.fatSectors = align(ceilDiv((guess + 2) * 4, kSectorBytes));
        c.clusters = settle(fatData32, c.fatSectors);
        const std::uint64_t most =
            std::min<std::uint64_t>(c.fatSectors * kSectorBytes / 4, kMaxFat32Clusters);
        // Forced to FAT32, mkfs.fat makes it even below the count that marks FAT32 for others.
        if (c.clusters > most) c.clusters = 0;
        break;
    }
    }
    if (c.clusters == 0) return std::nullopt;

    FormatLayout layout;
    layout.bits = bits;
    layout.sectorsPerCluster = sectorsPerCluster;
    layout.totalSectors = static_cast<std::uint32_t>(sectors);
    layout.reservedSectors = static_cast<std::uint32_t>(align(reserved));
    layout.sectorsPerFat = static_cast<std::uint32_t>(c.fatSectors);
    // The fixed root grows to fill its aligned sectors.
    layout.rootEntries = static_cast<std::uint32_t>(
        aligned ? align(rootSectors) * (kSectorBytes / 32) : rootEntries);
    layout.clusterCount = static_cast<std::uint32_t>(c.clusters);

    // mkfs.fat's own floor: the data area must start at least 32 blocks before the end.
    if (blocks < ceilDiv(layout.firstDataSector(), 2) + 32) return std::nullopt;
    return layout;
}

std::optional<FormatLayout> mkfsDefaultLayout(std::uint64_t volumeBytes) {
    const std::uint64_t sectors = volumeBytes / kSectorBytes;
    if (volumeBytes >= 512ull << 20) {
        // Microsoft's FAT32 table, which mkfs.fat copies; fewer than 65525 clusters doubles it.
        std::uint32_t s = sectors > (64ull << 20)       ? 64
                          : sectors > (32ull << 20)     ? 32
                          : sectors > (16ull << 20)     ? 16
                          : sectors > 260ull * 1024 * 2 ? 8
                                                        : 1;
        for (; s <= 128; s *= 2) {
            const auto layout = mkfsLayout(FatType::Fat32, s, volumeBytes);
            if (layout && layout->clusterCount >= kMinFat32Clusters - 1) return layout;
        }
        return std::nullopt;
    }
    std::uint32_t s = 4;
    switch (volumeBytes / 1024) {
    case 360:
    case 720:
    case 2880:
        s = 2;
        break;
    case 1200:
    case 1440:
        s = 1;
        break;
    default:
        break;
    }
    // The first cluster size where either width works; FAT16 when it gives more clusters.
    for (; s <= 128; s *= 2) {
        const auto fat12 = mkfsLayout(FatType::Fat12, s, volumeBytes);
        const auto fat16 = mkfsLayout(FatType::Fat16, s, volumeBytes);
        if (!fat12 && !fat16) continue;
        if (fat16 && (!fat12 || fat16->clusterCount > fat12->clusterCount)) return fat16;
        return fat12;
    }
    return std::nullopt;
}

} // namespace kesp::fat
