#include "fat/geometry.h"

namespace kesp::fat {

Geometry geometryOf(const FatBootSector& boot) {
    const std::uint64_t sector = boot.bytesPerSector;
    Geometry g;
    g.type = boot.type;
    g.fatOffset = std::uint64_t(boot.reservedSectors) * sector;
    g.fatBytes = std::uint64_t(boot.sectorsPerFat) * sector;
    g.rootOffset = g.fatOffset + std::uint64_t(boot.fatCount) * g.fatBytes;
    g.rootBytes = std::uint64_t(boot.rootEntryCount) * 32;
    g.rootCluster = boot.rootCluster;
    g.dataOffset = boot.firstDataSector() * sector;
    g.clusterBytes = boot.clusterSize();
    g.clusterCount = boot.clusterCount;
    g.volumeBytes = boot.totalSectors * sector;
    return g;
}

} // namespace kesp::fat
