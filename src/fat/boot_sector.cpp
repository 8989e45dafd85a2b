#include "fat/boot_sector.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "fat/fat_table.h"
#include "fat/geometry.h"

namespace kesp::fat {
namespace {

constexpr std::size_t kSectorMinimum = 512;
constexpr std::size_t kEntrySize = 32;
// A folder holds at most 65536 entries; reading stops there whatever the chain says.
constexpr std::uint64_t kFolderMaximumBytes = 65536 * kEntrySize;
constexpr std::uint32_t kMaximumClusterSize = 65536;
constexpr std::uint32_t kFat32MaximumClusters = 0x0FFFFFF5;

bool validJump(std::span<const std::uint8_t> b) {
    return (b[0] == 0xEB && b[2] == 0x90) || b[0] == 0xE9;
}

// Bytes the FAT needs for `clusters` data clusters plus the two reserved entries.
std::uint64_t fatBytesNeeded(FatType type, std::uint64_t clusters) {
    const std::uint64_t entries = clusters + 2;
    switch (type) {
    case FatType::Fat12:
        return (entries * 3 + 1) / 2;
    case FatType::Fat16:
        return entries * 2;
    case FatType::Fat32:
        break;
    }
    return entries * 4;
}

} // namespace

std::uint64_t FatBootSector::firstDataSector() const {
    const std::uint64_t rootSectors =
        (std::uint64_t(rootEntryCount) * kEntrySize + bytesPerSector - 1) / bytesPerSector;
    return reservedSectors + std::uint64_t(fatCount) * sectorsPerFat + rootSectors;
}

std::string fatTypeName(FatType type) {
    return type == FatType::Fat32 ? "FAT32" : "FAT";
}

std::string fatLayoutRemark(const FatBootSector& boot) {
    if (!boot.fat32BelowMinimum()) return {};
    return "FAT32 de " + std::to_string(boot.clusterCount) +
           " clusters (moins de 65 525) : certains pilotes refusent ce volume";
}

FatType fatTypeForClusters(std::uint64_t clusterCount) {
    if (clusterCount < 4085) return FatType::Fat12;
    if (clusterCount < 65525) return FatType::Fat16;
    return FatType::Fat32;
}

std::string fatLabelText(std::span<const std::uint8_t> stored) {
    std::string text(stored.begin(), stored.end());
    if (!text.empty() && static_cast<unsigned char>(text[0]) == 0x05) text[0] = char(0xE5);
    const auto last = text.find_last_not_of(' ');
    text.erase(last == std::string::npos ? 0 : last + 1);
    if (text == "NO NAME") text.clear();
    return text;
}

std::optional<FatBootSector> parseFatBootSector(std::span<const std::uint8_t> b) {
    if (b.size() < kSectorMinimum) return std::nullopt;
    if (!validJump(b) || b[510] != 0x55 || b[511] != 0xAA) return std::nullopt;

    FatBootSector boot;
    boot.bytesPerSector = le16(b, 11);
    boot.sectorsPerCluster = b[13];
    boot.reservedSectors = le16(b, 14);
    boot.fatCount = b[16];
    boot.rootEntryCount = le16(b, 17);
    const std::uint32_t totalSectors16 = le16(b, 19);
    const std::uint32_t fatSize16 = le16(b, 22);
    const std::uint32_t totalSectors32 = le32(b, 32);

    if (boot.bytesPerSector < 512 || boot.bytesPerSector > 4096 ||
        !std::has_single_bit(boot.bytesPerSector))
        return std::nullopt;
    if (boot.sectorsPerCluster == 0 || !std::has_single_bit(boot.sectorsPerCluster))
        return std::nullopt;
    if (boot.clusterSize() > kMaximumClusterSize) return std::nullopt;
    if (boot.reservedSectors == 0 || boot.fatCount == 0) return std::nullopt;

    const bool fat32Layout = fatSize16 == 0;
    boot.sectorsPerFat = fat32Layout ? le32(b, 36) : fatSize16;
    boot.totalSectors = totalSectors16 != 0 ? totalSectors16 : totalSectors32;
    if (boot.sectorsPerFat == 0 || boot.totalSectors == 0) return std::nullopt;
    if (fat32Layout != (boot.rootEntryCount == 0)) return std::nullopt;

    const std::uint64_t metadata = boot.firstDataSector();
    if (metadata >= boot.totalSectors) return std::nullopt;
    const std::uint64_t clusters = (boot.totalSectors - metadata) / boot.sectorsPerCluster;
    if (clusters == 0 || clusters > kFat32MaximumClusters) return std::nullopt;
    boot.clusterCount = static_cast<std::uint32_t>(clusters);
    // The layout says FAT32 (no fixed root, a 32-bit FAT length), whatever the count: mkfs.fat
    // makes such volumes when asked, and Linux and fsck.fat read them. A FAT12/16 layout cannot
    // describe more clusters than 16-bit entries hold.
    boot.type = fat32Layout ? FatType::Fat32 : fatTypeForClusters(clusters);
    if (!fat32Layout && boot.type == FatType::Fat32) return std::nullopt;
    if (std::uint64_t(boot.sectorsPerFat) * boot.bytesPerSector <
        fatBytesNeeded(boot.type, clusters))
        return std::nullopt;

    if (fat32Layout) {
        boot.rootCluster = le32(b, 44);
        if (boot.rootCluster < 2 || boot.rootCluster > clusters + 1) return std::nullopt;
    }

    // Extended boot record: 0x29 carries serial and label, the older 0x28 the serial only.
    const std::size_t extended = fat32Layout ? 64 : 36;
    const std::uint32_t signature = b[extended + 2];
    if (signature == 0x28 || signature == 0x29) boot.serial = le32(b, extended + 3);
    if (signature == 0x29) boot.label = fatLabelText(b.subspan(extended + 7, 11));
    return boot;
}

std::optional<std::string> findVolumeLabelEntry(std::span<const std::uint8_t> entries, bool& end) {
    end = false;
    for (std::size_t at = 0; at + kEntrySize <= entries.size(); at += kEntrySize) {
        const auto entry = entries.subspan(at, kEntrySize);
        if (entry[0] == 0x00) {
            end = true;
            return std::nullopt;
        }
        if (entry[0] == 0xE5) continue;
        const std::uint8_t attributes = entry[11] & 0x3F;
        const bool longName = attributes == 0x0F;
        if (!longName && (attributes & 0x18) == 0x08) return fatLabelText(entry.first(11));
    }
    return std::nullopt;
}

std::optional<std::string> readRootVolumeLabel(const FatBootSector& boot, ByteReader& volume) {
    const Geometry geometry = geometryOf(boot);
    bool end = false;
    std::vector<std::uint8_t> buffer;

    if (geometry.type != FatType::Fat32) {
        constexpr std::uint64_t kChunk = 16 * 1024;
        for (std::uint64_t done = 0; done < geometry.rootBytes && !end; done += kChunk) {
            buffer.resize(static_cast<std::size_t>(std::min(kChunk, geometry.rootBytes - done)));
            if (!volume.read(geometry.rootOffset + done, buffer)) return std::nullopt;
            if (auto label = findVolumeLabelEntry(buffer, end)) return label;
        }
        return std::nullopt;
    }

    FatTable fat(volume, geometry);
    std::uint32_t cluster = geometry.rootCluster;
    buffer.resize(geometry.clusterBytes);
    for (std::uint64_t done = 0; done < kFolderMaximumBytes && !end;
         done += geometry.clusterBytes) {
        if (!geometry.validCluster(cluster)) return std::nullopt;
        if (!volume.read(geometry.clusterOffset(cluster), buffer)) return std::nullopt;
        if (auto label = findVolumeLabelEntry(buffer, end)) return label;
        const std::optional<std::uint32_t> next = fat.entry(cluster);
        if (!next) return std::nullopt;
        if (fat.endOfChain(*next)) break;
        cluster = *next;
    }
    return std::nullopt;
}

} // namespace kesp::fat
