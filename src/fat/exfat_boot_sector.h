#pragma once
// The exFAT boot region read from bytes: the main boot sector, checked field by field, and the
// checksum sector that covers sectors 0 to 10. Pure functions: hostile input is refused with a
// French reason, and a sector that is accepted always gives a geometry whose clusters lie inside
// the volume it describes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kesp::fat {

struct ExfatBootSector {
    std::uint64_t partitionOffset = 0;   // sectors, as the formatter stored it; informative only
    std::uint64_t volumeLength = 0;      // sectors
    std::uint32_t fatOffset = 0;         // sectors from the volume start
    std::uint32_t fatLength = 0;         // sectors, one FAT
    std::uint32_t clusterHeapOffset = 0; // sectors
    std::uint32_t clusterCount = 0;      // clusters 2 to clusterCount + 1
    std::uint32_t rootCluster = 0;
    std::uint32_t serial = 0;
    std::uint16_t revision = 0; // major << 8 | minor
    std::uint16_t volumeFlags = 0;
    std::uint8_t bytesPerSectorShift = 9;
    std::uint8_t sectorsPerClusterShift = 0;
    std::uint8_t fatCount = 1;       // 2 only with TexFAT
    std::uint8_t percentInUse = 255; // 0 to 100; 255 when the formatter did not say

    std::uint32_t bytesPerSector() const { return 1u << bytesPerSectorShift; }
    std::uint32_t clusterBytes() const {
        return 1u << (bytesPerSectorShift + sectorsPerClusterShift);
    }
    // The FAT and bitmap in use when there are two (VolumeFlags bit 0).
    unsigned activeFat() const { return fatCount == 2 ? (volumeFlags & 1u) : 0u; }
    bool volumeDirty() const { return (volumeFlags & 2u) != 0; }
    bool mediaFailure() const { return (volumeFlags & 4u) != 0; }
};

// Where an exFAT volume keeps its parts, in bytes from the volume's first byte.
struct ExfatGeometry {
    std::uint64_t fatOffset = 0; // the FAT in use
    std::uint64_t fatBytes = 0;
    std::uint64_t heapOffset = 0; // cluster 2
    std::uint32_t clusterBytes = 0;
    std::uint32_t clusterCount = 0;
    std::uint32_t rootCluster = 0;
    std::uint64_t volumeBytes = 0;

    bool validCluster(std::uint32_t cluster) const {
        return cluster >= 2 && std::uint64_t(cluster) <= std::uint64_t(clusterCount) + 1;
    }
    // Only for a valid cluster.
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return heapOffset + std::uint64_t(cluster - 2) * clusterBytes;
    }
};

ExfatGeometry exfatGeometryOf(const ExfatBootSector& boot);

// Whether `sector` carries the exFAT file-system name and the boot signature, before any other
// check: enough to tell an exFAT volume from a partition table.
bool isExfatBootSector(std::span<const std::uint8_t> sector);

// nullopt with `error` (French) unless `sector` (512 bytes at least) is a consistent exFAT main
// boot sector: shifts in range, FAT and heap inside the volume in that order, a FAT long enough
// for the cluster count, the root cluster inside the heap, revision 1.x.
std::optional<ExfatBootSector> parseExfatBootSector(std::span<const std::uint8_t> sector,
                                                    std::string& error);

// The boot checksum of sectors 0 to 10 (`sectors` holds them, 11 sectors of `bytesPerSector`),
// VolumeFlags and PercentInUse left out since they change while the volume is in use.
std::uint32_t exfatBootChecksum(std::span<const std::uint8_t> sectors,
                                std::uint32_t bytesPerSector);

// Whether `region` (12 sectors: boot, extended boot, OEM, reserved, checksum) holds a checksum
// sector whose every word is the checksum of the 11 sectors before it.
bool exfatBootChecksumHolds(std::span<const std::uint8_t> region, std::uint32_t bytesPerSector);

} // namespace kesp::fat
