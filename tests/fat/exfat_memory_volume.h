#pragma once
// exFAT volumes built byte by byte in memory: a boot region with its checksum and its backup,
// the bitmap, up-case and label entries in the root, then FAT links, bitmap bits and entry sets
// written where a test wants them, damage included.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "fat/exfat_boot_sector.h"
#include "fat/exfat_entry_set.h"
#include "fat/memory_volume.h"

namespace kesp::test {

struct ExfatShape {
    std::uint8_t sectorShift = 9;
    std::uint8_t clusterShift = 0; // sectors per cluster, as a power of two
    std::uint32_t clusterCount = 64;
    std::uint32_t fatOffset = 24; // sectors
    std::uint32_t rootCluster = 4;
    std::uint32_t serial = 0xC0FFEE42;
    std::uint16_t volumeFlags = 0;
    std::uint8_t percentInUse = 7;
};

inline void put64(std::span<std::uint8_t> b, std::size_t at, std::uint64_t v) {
    put32(b, at, std::uint32_t(v));
    put32(b, at + 4, std::uint32_t(v >> 32));
}

// A File entry, its Stream Extension and File Name entries, the checksum set.
struct SetSpec {
    std::u16string name;
    bool folder = false;
    std::uint64_t dataLength = 0;
    std::uint64_t validDataLength = 0;
    std::uint32_t firstCluster = 0;
    bool noFatChain = false;
    std::uint8_t nameUnits = 0; // 0: the name's own length
};

inline std::vector<std::uint8_t> entrySet(const SetSpec& s) {
    const std::size_t names = (s.name.size() + 14) / 15;
    std::vector<std::uint8_t> set((2 + names) * 32, 0);
    const auto b = std::span(set);
    b[0] = 0x85;
    b[1] = std::uint8_t(1 + names);
    put16(b, 4, s.folder ? 0x10 : 0x20);
    b[32] = 0xC0;
    b[33] = std::uint8_t(0x01 | (s.noFatChain ? 0x02 : 0));
    b[35] = s.nameUnits ? s.nameUnits : std::uint8_t(s.name.size());
    put64(b, 40, s.validDataLength);
    put32(b, 52, s.firstCluster);
    put64(b, 56, s.dataLength);
    for (std::size_t i = 0; i < s.name.size(); ++i) {
        const std::size_t entry = 2 + i / 15;
        b[entry * 32] = 0xC1;
        put16(b, entry * 32 + 2 + 2 * (i % 15), s.name[i]);
    }
    for (std::size_t entry = 2; entry < 2 + names; ++entry)
        b[entry * 32] = 0xC1;
    put16(b, 2, fat::exfatSetChecksum(set));
    return set;
}

inline std::vector<std::uint8_t> fileSet(const std::u16string& name, std::uint64_t length,
                                         std::uint32_t cluster = 0) {
    return entrySet({name, false, length, length, cluster, true});
}

class ExfatMemoryVolume {
public:
    explicit ExfatMemoryVolume(const ExfatShape& shape) : shape_(shape) {
        const std::uint32_t sector = 1u << shape.sectorShift;
        const std::uint32_t fatSectors = ((shape.clusterCount + 2) * 4 + sector - 1) / sector;
        const std::uint32_t heap = shape.fatOffset + fatSectors;
        const std::uint64_t volumeSectors =
            heap + (std::uint64_t(shape.clusterCount) << shape.clusterShift);
        bytes.assign(volumeSectors * sector, 0);
        const auto b = std::span(bytes).first(512);
        b[0] = 0xEB;
        b[1] = 0x76;
        b[2] = 0x90;
        std::memcpy(&b[3], "EXFAT   ", 8);
        put64(b, 72, volumeSectors);
        put32(b, 80, shape.fatOffset);
        put32(b, 84, fatSectors);
        put32(b, 88, heap);
        put32(b, 92, shape.clusterCount);
        put32(b, 96, shape.rootCluster);
        put32(b, 100, shape.serial);
        b[104] = 0;
        b[105] = 1;
        put16(b, 106, shape.volumeFlags);
        b[108] = shape.sectorShift;
        b[109] = shape.clusterShift;
        b[110] = 1;
        b[112] = shape.percentInUse;
        b[510] = 0x55;
        b[511] = 0xAA;
        for (int s = 1; s <= 8; ++s)
            put32(bytes, std::size_t(s + 1) * sector - 4, 0xAA550000);
        sealBootRegion();
        geometry = fat::exfatGeometryOf(*fat::parseExfatBootSector(bytes, parseError));
        link(0, 0xFFFFFFF8);
        link(1, 0xFFFFFFFF);
        // Bitmap at 2, up-case at 3, root at its cluster, each one cluster long.
        for (std::uint32_t c : {2u, 3u, shape.rootCluster}) {
            link(c, 0xFFFFFFFF);
            allocate(c);
        }
        rootEntry(0, volumeEntry(0x83, 0, 0, u"KESP"));
        rootEntry(1, volumeEntry(0x81, 2, (shape.clusterCount + 7) / 8));
        rootEntry(2, volumeEntry(0x82, 3, 5836));
    }

    // The checksum sector and the backup region, after the boot region changed.
    void sealBootRegion() {
        const std::uint32_t sector = 1u << shape_.sectorShift;
        const std::uint32_t sum = fat::exfatBootChecksum(bytes, sector);
        for (std::uint32_t at = 0; at < sector; at += 4)
            put32(bytes, 11 * sector + at, sum);
        std::memcpy(&bytes[12 * sector], bytes.data(), 12 * sector);
    }

    static std::vector<std::uint8_t> volumeEntry(std::uint8_t type, std::uint32_t cluster,
                                                 std::uint64_t length,
                                                 const std::u16string& label = {}) {
        std::vector<std::uint8_t> e(32, 0);
        e[0] = type;
        if (type == 0x83) {
            e[1] = std::uint8_t(label.size());
            for (std::size_t i = 0; i < label.size(); ++i)
                put16(e, 2 + 2 * i, label[i]);
        } else {
            put32(e, 20, cluster);
            put64(e, 24, length);
        }
        return e;
    }

    void link(std::uint32_t cluster, std::uint32_t next) {
        put32(bytes, geometry.fatOffset + std::uint64_t(cluster) * 4, next);
    }
    void chain(std::initializer_list<std::uint32_t> clusters) {
        const std::uint32_t* c = clusters.begin();
        for (; c + 1 != clusters.end(); ++c)
            link(*c, *(c + 1));
        link(*c, 0xFFFFFFFF);
    }
    void allocate(std::uint32_t cluster) {
        const std::uint64_t bit = cluster - 2;
        bytes[geometry.clusterOffset(2) + bit / 8] |= std::uint8_t(1u << (bit % 8));
    }

    // Writes `entries` (whole 32-byte entries) at entry `index` of a folder spread over
    // `clusters`, crossing from one cluster to the next as the folder does.
    void folderEntries(const std::vector<std::uint32_t>& clusters, std::size_t index,
                       std::span<const std::uint8_t> entries) {
        const std::size_t perCluster = geometry.clusterBytes / 32;
        for (std::size_t i = 0; i < entries.size() / 32; ++i, ++index) {
            const std::uint32_t cluster = clusters.at(index / perCluster);
            std::memcpy(&bytes[geometry.clusterOffset(cluster) + (index % perCluster) * 32],
                        &entries[i * 32], 32);
        }
    }
    void rootEntry(std::size_t index, std::span<const std::uint8_t> entries) {
        folderEntries({shape_.rootCluster}, index, entries);
    }

    std::vector<std::uint8_t> bytes;
    fat::ExfatGeometry geometry;
    std::string parseError;

private:
    ExfatShape shape_;
};

} // namespace kesp::test
