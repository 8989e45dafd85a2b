#pragma once
// FAT volumes built byte by byte in memory: a boot sector from a layout, then FAT entries and
// folder entries written where a test wants them, damage included.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "fat/boot_sector.h"
#include "fat/directory_entry.h"
#include "fat/geometry.h"

namespace kesp::test {

struct Layout {
    std::uint16_t bytesPerSector = 512;
    std::uint8_t sectorsPerCluster = 1;
    std::uint16_t reserved = 1;
    std::uint8_t fats = 2;
    std::uint16_t rootEntries = 512;
    std::uint32_t sectorsPerFat = 0; // 0: just enough for `clusters`
    std::uint32_t clusters = 4084;
    bool fat32 = false;
    std::uint32_t rootCluster = 2;
    std::uint8_t signature = 0x29;
    std::uint32_t serial = 0x1234ABCD;
    const char* label = "KESP LABEL ";
};

inline void put16(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void put32(std::span<std::uint8_t> b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

inline std::uint32_t fatSectorsFor(const Layout& l) {
    const std::uint64_t entries = std::uint64_t(l.clusters) + 2;
    const std::uint64_t bytes = l.fat32             ? entries * 4
                                : l.clusters < 4085 ? (entries * 3 + 1) / 2
                                                    : entries * 2;
    return std::uint32_t((bytes + l.bytesPerSector - 1) / l.bytesPerSector);
}

inline std::vector<std::uint8_t> bootSector(const Layout& l) {
    std::vector<std::uint8_t> b(512, 0);
    b[0] = 0xEB;
    b[1] = 0x3C;
    b[2] = 0x90;
    std::memcpy(&b[3], "mkfs.fat", 8);
    put16(b, 11, l.bytesPerSector);
    b[13] = l.sectorsPerCluster;
    put16(b, 14, l.reserved);
    b[16] = l.fats;
    put16(b, 17, l.fat32 ? 0 : l.rootEntries);
    b[21] = 0xF8;
    const std::uint32_t fatSectors = l.sectorsPerFat ? l.sectorsPerFat : fatSectorsFor(l);
    const std::uint32_t rootSectors =
        l.fat32 ? 0 : (l.rootEntries * 32u + l.bytesPerSector - 1) / l.bytesPerSector;
    const std::uint64_t total = std::uint64_t(l.reserved) + std::uint64_t(l.fats) * fatSectors +
                                rootSectors + std::uint64_t(l.clusters) * l.sectorsPerCluster;
    if (total < 0x10000 && !l.fat32)
        put16(b, 19, std::uint32_t(total));
    else
        put32(b, 32, std::uint32_t(total));
    std::size_t extended = 36;
    if (l.fat32) {
        put32(b, 36, fatSectors);
        put32(b, 44, l.rootCluster);
        extended = 64;
    } else {
        put16(b, 22, fatSectors);
    }
    b[extended + 2] = l.signature;
    put32(b, extended + 3, l.serial);
    std::memcpy(&b[extended + 7], l.label, 11);
    b[510] = 0x55;
    b[511] = 0xAA;
    return b;
}

// A 32-byte short entry; `name11` is the stored 8.3 name.
inline std::vector<std::uint8_t> shortEntry(const char* name11, std::uint8_t attributes,
                                            std::uint32_t cluster = 0, std::uint32_t size = 0,
                                            std::uint8_t caseBits = 0) {
    std::vector<std::uint8_t> e(32, 0);
    std::memcpy(e.data(), name11, 11);
    e[11] = attributes;
    e[12] = caseBits;
    put16(e, 20, cluster >> 16);
    put16(e, 26, cluster & 0xFFFF);
    put32(e, 28, size);
    return e;
}

// The long-name entries (last part first, as stored) of `name` for the short entry `name11`.
inline std::vector<std::vector<std::uint8_t>> longEntries(const std::u16string& name,
                                                          const char* name11) {
    const std::uint8_t sum =
        fat::shortNameChecksum(std::span(reinterpret_cast<const std::uint8_t*>(name11), 11));
    const std::size_t parts = (name.size() + 12) / 13;
    std::vector<std::vector<std::uint8_t>> out;
    for (std::size_t p = parts; p >= 1; --p) {
        std::vector<std::uint8_t> e(32, 0);
        e[0] = std::uint8_t(p | (p == parts ? 0x40 : 0));
        e[11] = 0x0F;
        e[13] = sum;
        const std::size_t at[] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};
        for (std::size_t i = 0; i < 13; ++i) {
            const std::size_t k = (p - 1) * 13 + i;
            const std::uint32_t unit = k < name.size() ? name[k] : k == name.size() ? 0 : 0xFFFF;
            put16(e, at[i], unit);
        }
        out.push_back(std::move(e));
    }
    return out;
}

// A whole volume in memory, with helpers to write its FAT and folders.
class MemoryVolume {
public:
    explicit MemoryVolume(const Layout& layout) : bytes(bootSector(layout)) {
        boot = *fat::parseFatBootSector(bytes);
        geometry = fat::geometryOf(boot);
        bytes.resize(geometry.dataOffset +
                     std::uint64_t(boot.clusterCount) * geometry.clusterBytes);
    }
    void link(std::uint32_t cluster, std::uint32_t next) {
        const std::uint64_t c = cluster;
        const auto fat = std::span(bytes).subspan(geometry.fatOffset);
        switch (geometry.type) {
        case fat::FatType::Fat12: {
            const std::size_t at = c + c / 2;
            const std::uint32_t old = fat[at] | fat[at + 1] << 8;
            put16(fat, at, (c & 1) ? (old & 0x000F) | next << 4 : (old & 0xF000) | next);
            break;
        }
        case fat::FatType::Fat16:
            put16(fat, c * 2, next);
            break;
        case fat::FatType::Fat32:
            put32(fat, c * 4, next);
            break;
        }
    }
    // Links `clusters` in order and ends the chain.
    void chain(std::initializer_list<std::uint32_t> clusters) {
        const std::uint32_t end = geometry.type == fat::FatType::Fat12   ? 0xFFF
                                  : geometry.type == fat::FatType::Fat16 ? 0xFFFF
                                                                         : 0x0FFFFFFF;
        const std::uint32_t* c = clusters.begin();
        for (; c + 1 != clusters.end(); ++c)
            link(*c, *(c + 1));
        link(*c, end);
    }
    // Entry `index` of a folder: the fixed root (cluster 0 on FAT12/16) or the cluster.
    void entry(std::uint32_t cluster, std::size_t index, std::span<const std::uint8_t> raw) {
        const std::uint64_t base =
            cluster == 0 ? geometry.rootOffset : geometry.clusterOffset(cluster);
        std::memcpy(&bytes[base + index * 32], raw.data(), 32);
    }
    std::vector<std::uint8_t> bytes;
    fat::FatBootSector boot;
    fat::Geometry geometry;
};

} // namespace kesp::test
