#include "fat/exfat_boot_sector.h"

#include <algorithm>
#include <cstring>

#include "fat/byte_reader.h"

namespace kesp::fat {
namespace {

constexpr std::size_t kSectorMinimum = 512;
constexpr std::uint32_t kFirstFatSector = 24; // after the main and backup boot regions
constexpr std::uint64_t kMaximumClusters = 0xFFFFFFF5;
constexpr unsigned kMaximumClusterShift = 25; // 32 MiB

std::string power(unsigned shift) {
    return shift < 64 ? std::to_string(std::uint64_t(1) << shift) : "2^" + std::to_string(shift);
}

} // namespace

ExfatGeometry exfatGeometryOf(const ExfatBootSector& boot) {
    const std::uint64_t sector = boot.bytesPerSector();
    ExfatGeometry g;
    g.fatBytes = std::uint64_t(boot.fatLength) * sector;
    g.fatOffset = std::uint64_t(boot.fatOffset) * sector + boot.activeFat() * g.fatBytes;
    g.heapOffset = std::uint64_t(boot.clusterHeapOffset) * sector;
    g.clusterBytes = boot.clusterBytes();
    g.clusterCount = boot.clusterCount;
    g.rootCluster = boot.rootCluster;
    g.volumeBytes = boot.volumeLength * sector;
    return g;
}

bool isExfatBootSector(std::span<const std::uint8_t> b) {
    return b.size() >= kSectorMinimum && std::memcmp(b.data() + 3, "EXFAT   ", 8) == 0 &&
           b[510] == 0x55 && b[511] == 0xAA;
}

std::optional<ExfatBootSector> parseExfatBootSector(std::span<const std::uint8_t> b,
                                                    std::string& error) {
    if (!isExfatBootSector(b)) {
        error = "pas de volume exFAT";
        return std::nullopt;
    }
    const auto refuse = [&error](const std::string& why) {
        error = "secteur de démarrage exFAT invalide : " + why;
        return std::nullopt;
    };
    // The BIOS parameter block of FAT must be zero here: a FAT volume with this name is not one.
    if (std::any_of(b.begin() + 11, b.begin() + 64, [](std::uint8_t v) { return v != 0; }))
        return refuse("zone réservée non nulle");

    ExfatBootSector boot;
    boot.partitionOffset = le64(b, 64);
    boot.volumeLength = le64(b, 72);
    boot.fatOffset = le32(b, 80);
    boot.fatLength = le32(b, 84);
    boot.clusterHeapOffset = le32(b, 88);
    boot.clusterCount = le32(b, 92);
    boot.rootCluster = le32(b, 96);
    boot.serial = le32(b, 100);
    boot.revision = std::uint16_t(b[105] << 8 | b[104]);
    boot.volumeFlags = std::uint16_t(le16(b, 106));
    boot.bytesPerSectorShift = b[108];
    boot.sectorsPerClusterShift = b[109];
    boot.fatCount = b[110];
    boot.percentInUse = b[112] <= 100 ? b[112] : 255;

    if (boot.bytesPerSectorShift < 9 || boot.bytesPerSectorShift > 12)
        return refuse("taille de secteur de " + power(boot.bytesPerSectorShift) +
                      " octets (de 512 à 4096 attendus)");
    if (unsigned(boot.bytesPerSectorShift) + boot.sectorsPerClusterShift > kMaximumClusterShift)
        return refuse("taille de cluster de " +
                      power(unsigned(boot.bytesPerSectorShift) + boot.sectorsPerClusterShift) +
                      " octets (32 Mo au plus)");
    if (boot.fatCount != 1 && boot.fatCount != 2)
        return refuse(std::to_string(boot.fatCount) + " FAT (1 ou 2 attendues)");
    if (boot.revision >> 8 != 1)
        return refuse("révision " + std::to_string(boot.revision >> 8) + "." +
                      std::to_string(boot.revision & 0xFF) + " du système de fichiers");

    const std::uint64_t sector = boot.bytesPerSector();
    const std::uint64_t fatsEnd =
        std::uint64_t(boot.fatOffset) + std::uint64_t(boot.fatLength) * boot.fatCount;
    const std::uint64_t heapSectors = std::uint64_t(boot.clusterCount)
                                      << boot.sectorsPerClusterShift;
    if (boot.fatOffset < kFirstFatSector)
        return refuse("FAT au secteur " + std::to_string(boot.fatOffset) +
                      ", dans la région de démarrage");
    if ((std::uint64_t(boot.clusterCount) + 2) * 4 > std::uint64_t(boot.fatLength) * sector)
        return refuse("FAT de " + std::to_string(boot.fatLength) + " secteurs, trop courte pour " +
                      std::to_string(boot.clusterCount) + " clusters");
    if (boot.clusterHeapOffset < fatsEnd)
        return refuse("zone des clusters (secteur " + std::to_string(boot.clusterHeapOffset) +
                      ") avant la fin de la FAT (secteur " + std::to_string(fatsEnd) + ")");
    if (boot.clusterCount == 0 || boot.clusterCount > kMaximumClusters)
        return refuse(std::to_string(boot.clusterCount) + " clusters");
    if (boot.volumeLength < boot.clusterHeapOffset ||
        boot.volumeLength - boot.clusterHeapOffset < heapSectors)
        return refuse(std::to_string(boot.clusterCount) + " clusters annoncés, le volume de " +
                      std::to_string(boot.volumeLength) + " secteurs n'en contient pas autant");
    if (boot.rootCluster < 2 || boot.rootCluster > std::uint64_t(boot.clusterCount) + 1)
        return refuse("dossier racine hors du volume (cluster " + std::to_string(boot.rootCluster) +
                      ")");
    return boot;
}

std::uint32_t exfatBootChecksum(std::span<const std::uint8_t> sectors,
                                std::uint32_t bytesPerSector) {
    const std::size_t length = std::min<std::size_t>(sectors.size(), 11 * bytesPerSector);
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (i == 106 || i == 107 || i == 112) continue;
        sum = ((sum & 1) ? 0x80000000u : 0u) + (sum >> 1) + sectors[i];
    }
    return sum;
}

bool exfatBootChecksumHolds(std::span<const std::uint8_t> region, std::uint32_t bytesPerSector) {
    if (region.size() < std::size_t(12) * bytesPerSector) return false;
    const std::uint32_t sum = exfatBootChecksum(region, bytesPerSector);
    const auto stored = region.subspan(std::size_t(11) * bytesPerSector, bytesPerSector);
    for (std::size_t at = 0; at < stored.size(); at += 4)
        if (le32(stored, at) != sum) return false;
    return true;
}

} // namespace kesp::fat
