// The FAT boot-sector reader: hand-built sectors at the type boundaries, hostile sectors, and the
// root folder's label entry read through a cluster chain.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fat/boot_sector.h"

namespace kesp {
namespace {

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

void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    put16(b, at, v & 0xFFFF);
    put16(b, at + 2, v >> 16);
}

std::uint32_t fatSectorsFor(const Layout& l) {
    const std::uint64_t entries = std::uint64_t(l.clusters) + 2;
    const std::uint64_t bytes = l.fat32             ? entries * 4
                                : l.clusters < 4085 ? (entries * 3 + 1) / 2
                                                    : entries * 2;
    return std::uint32_t((bytes + l.bytesPerSector - 1) / l.bytesPerSector);
}

std::vector<std::uint8_t> bootSector(const Layout& l) {
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

TEST(FatBootSector, TypeFollowsTheClusterCountAtEachBoundary) {
    struct Case {
        std::uint32_t clusters;
        bool fat32Layout;
        std::optional<FatType> type; // none: the layout contradicts the count
    };
    for (const auto& c : {Case{1, false, FatType::Fat12}, Case{4084, false, FatType::Fat12},
                          Case{4085, false, FatType::Fat16}, Case{65524, false, FatType::Fat16},
                          Case{65525, true, FatType::Fat32}, Case{1000000, true, FatType::Fat32},
                          // A FAT16 BPB cannot describe a FAT32 volume; a FAT32 one that small
                          // is what mtools also refuses to read.
                          Case{65525, false, std::nullopt}, Case{65524, true, std::nullopt}}) {
        SCOPED_TRACE(std::to_string(c.clusters) + (c.fat32Layout ? " FAT32 layout" : ""));
        Layout l;
        l.clusters = c.clusters;
        l.fat32 = c.fat32Layout;
        if (l.fat32) l.reserved = 32;
        const auto boot = parseFatBootSector(bootSector(l));
        ASSERT_EQ(boot.has_value(), c.type.has_value());
        if (!boot) continue;
        EXPECT_EQ(boot->clusterCount, c.clusters);
        EXPECT_EQ(boot->type, c.type);
        EXPECT_EQ(boot->clusterSize(), 512u);
        EXPECT_EQ(boot->serial, 0x1234ABCDu);
        EXPECT_EQ(boot->label, "KESP LABEL");
        EXPECT_EQ(fatTypeName(boot->type), c.type == FatType::Fat32 ? "FAT32" : "FAT");
    }
}

TEST(FatBootSector, SerialAndLabelDependOnTheExtendedRecord) {
    Layout l;
    l.label = "NO NAME    ";
    auto boot = parseFatBootSector(bootSector(l));
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->label, "");
    EXPECT_EQ(boot->serial, 0x1234ABCDu);

    l.label = "KESP LABEL ";
    l.signature = 0x28; // serial only
    boot = parseFatBootSector(bootSector(l));
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->serial, 0x1234ABCDu);
    EXPECT_EQ(boot->label, "");

    l.signature = 0;
    boot = parseFatBootSector(bootSector(l));
    ASSERT_TRUE(boot);
    EXPECT_EQ(boot->serial, 0u);

    EXPECT_EQ(fatLabelText(std::vector<std::uint8_t>{0x05, 'A', ' '}), "\xE5"
                                                                       "A");
}

TEST(FatBootSector, GeometryFromTheBpb) {
    for (std::uint16_t bps : {512, 1024, 2048, 4096})
        for (std::uint8_t spc : {1, 2, 4, 8, 16, 32, 64, 128}) {
            if (bps * spc > 65536) continue;
            Layout l;
            l.bytesPerSector = bps;
            l.sectorsPerCluster = spc;
            l.clusters = 5000;
            const auto boot = parseFatBootSector(bootSector(l));
            ASSERT_TRUE(boot) << bps << " x " << int(spc);
            EXPECT_EQ(boot->bytesPerSector, bps);
            EXPECT_EQ(boot->sectorsPerCluster, spc);
            EXPECT_EQ(boot->clusterSize(), std::uint32_t(bps) * spc);
        }
}

TEST(FatBootSector, HostileSectorsAreRejected) {
    const auto base = bootSector(Layout{});
    ASSERT_TRUE(parseFatBootSector(base));
    const auto with = [&](auto change) {
        auto b = base;
        change(b);
        return parseFatBootSector(b).has_value();
    };
    EXPECT_FALSE(parseFatBootSector(std::span(base).first(511))) << "truncated";
    EXPECT_FALSE(parseFatBootSector({})) << "empty";
    EXPECT_FALSE(with([](auto& b) { b[510] = 0; })) << "no signature";
    EXPECT_FALSE(with([](auto& b) { b[0] = 0; })) << "no jump";
    EXPECT_FALSE(with([](auto& b) { put16(b, 11, 0); })) << "zero bytes per sector";
    EXPECT_FALSE(with([](auto& b) { put16(b, 11, 513); })) << "odd bytes per sector";
    EXPECT_FALSE(with([](auto& b) { put16(b, 11, 768); })) << "non-power-of-two bytes per sector";
    EXPECT_FALSE(with([](auto& b) { put16(b, 11, 8192); })) << "bytes per sector too large";
    EXPECT_FALSE(with([](auto& b) { b[13] = 0; })) << "zero sectors per cluster";
    EXPECT_FALSE(with([](auto& b) { b[13] = 3; })) << "non-power-of-two sectors per cluster";
    EXPECT_FALSE(with([](auto& b) {
        put16(b, 11, 4096);
        b[13] = 128;
    })) << "cluster over 64 KiB";
    EXPECT_FALSE(with([](auto& b) { put16(b, 14, 0); })) << "no reserved sector";
    EXPECT_FALSE(with([](auto& b) { b[16] = 0; })) << "no FAT";
    EXPECT_FALSE(with([](auto& b) {
        put16(b, 19, 0);
        put32(b, 32, 0);
    })) << "no sectors";
    EXPECT_FALSE(with([](auto& b) { put16(b, 19, 10); })) << "metadata past the end";
    EXPECT_FALSE(with([](auto& b) { put16(b, 22, 1); })) << "FAT too small for the clusters";
    EXPECT_FALSE(with([](auto& b) {
        put16(b, 22, 0xFFFF);
        b[16] = 0xFF;
        put32(b, 32, 0xFFFFFFFF);
        put16(b, 19, 0);
    })) << "huge FATs";
}

TEST(FatBootSector, HostileFat32RootClusterIsRejected) {
    Layout l;
    l.fat32 = true;
    l.reserved = 32;
    l.clusters = 70000;
    for (std::uint32_t root : {0u, 1u, 70002u, 0xFFFFFFFFu}) {
        l.rootCluster = root;
        EXPECT_FALSE(parseFatBootSector(bootSector(l))) << root;
    }
    l.rootCluster = 70001;
    EXPECT_TRUE(parseFatBootSector(bootSector(l)));
}

// A tiny FAT32 volume in memory, for the root-label reader.
class RootLabel : public ::testing::Test {
protected:
    void SetUp() override {
        Layout l;
        l.fat32 = true;
        l.reserved = 32;
        l.fats = 1;
        l.clusters = 65525;
        image = bootSector(l);
        boot = *parseFatBootSector(image);
        image.resize((boot.firstDataSector() + 8) * 512, 0);
    }
    std::uint64_t clusterOffset(std::uint32_t cluster) const {
        return (boot.firstDataSector() + cluster - 2) * 512;
    }
    void link(std::uint32_t cluster, std::uint32_t next) {
        const std::uint64_t at = 32 * 512 + cluster * 4;
        for (int i = 0; i < 4; ++i)
            image[at + i] = std::uint8_t(next >> (8 * i));
    }
    void entry(std::uint32_t cluster, int index, const char* name, std::uint8_t attributes) {
        const std::uint64_t at = clusterOffset(cluster) + index * 32;
        std::memcpy(&image[at], name, 11);
        image[at + 11] = attributes;
    }
    std::optional<std::string> label() {
        reads = 0;
        return readRootVolumeLabel(boot, [this](std::uint64_t offset, std::span<std::uint8_t> out) {
            ++reads;
            if (offset + out.size() > image.size()) return false;
            std::memcpy(out.data(), &image[offset], out.size());
            return true;
        });
    }
    std::vector<std::uint8_t> image;
    FatBootSector boot;
    int reads = 0;
};

TEST_F(RootLabel, FoundInALaterClusterOfTheChainPastDeletedAndLongNameEntries) {
    for (int i = 0; i < 16; ++i)
        entry(2, i, "FILE    BIN", 0x20);
    entry(3, 0, "\xE5OLD LABEL ", 0x08);
    entry(3, 1, "ALONGNAME  ", 0x0F);
    entry(3, 2, "REAL LABEL ", 0x28); // archive bit beside the volume bit
    link(2, 3);
    link(3, 0x0FFFFFFF);
    EXPECT_EQ(label(), "REAL LABEL");
}

TEST_F(RootLabel, EndMarkerStopsTheSearch) {
    entry(2, 1, "AFTER END  ", 0x08); // entry 0 is all zeros: the end
    link(2, 0x0FFFFFFF);
    EXPECT_EQ(label(), std::nullopt);
}

TEST_F(RootLabel, LoopingOrBrokenChainsEndWithoutALabel) {
    for (int i = 0; i < 16; ++i)
        entry(2, i, "FILE    BIN", 0x20);
    link(2, 2); // a chain that points at itself
    EXPECT_EQ(label(), std::nullopt);
    EXPECT_LE(reads, 2 * 65536 * 32 / 512 + 2);

    link(2, 9999999); // past the last cluster
    EXPECT_EQ(label(), std::nullopt);
    link(2, 60000); // inside the volume, beyond the bytes that can be read
    EXPECT_EQ(label(), std::nullopt);
}

} // namespace
} // namespace kesp
