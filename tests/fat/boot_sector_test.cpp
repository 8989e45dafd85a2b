// The FAT boot-sector reader: hand-built sectors at the type boundaries, hostile sectors, and the
// root folder's label entry read through a cluster chain.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fat/boot_sector.h"
#include "fat/memory_volume.h"

namespace kesp::fat {
namespace {

using test::bootSector;
using test::Layout;
using test::put16;
using test::put32;

TEST(FatBootSector, TypeFollowsTheClusterCountAtEachBoundary) {
    struct Case {
        std::uint32_t clusters;
        bool fat32Layout;
        std::optional<FatType> type; // none: the layout contradicts the count
    };
    for (const auto& c : {Case{1, false, FatType::Fat12}, Case{4084, false, FatType::Fat12},
                          Case{4085, false, FatType::Fat16}, Case{65524, false, FatType::Fat16},
                          Case{65525, true, FatType::Fat32}, Case{1000000, true, FatType::Fat32},
                          // A FAT16 BPB cannot describe a FAT32 volume; a FAT32 one is FAT32
                          // whatever its count, as mkfs.fat -F 32 makes it.
                          Case{65525, false, std::nullopt}, Case{65524, true, FatType::Fat32},
                          Case{100, true, FatType::Fat32}}) {
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
        // Only a FAT32 layout below the FAT32 count gets a remark, and it says the count.
        const std::string remark = fatLayoutRemark(*boot);
        if (c.fat32Layout && c.clusters < 65525)
            EXPECT_EQ(remark, "FAT32 de " + std::to_string(c.clusters) +
                                  " clusters (moins de 65 525) : certains pilotes refusent ce "
                                  "volume");
        else
            EXPECT_EQ(remark, "");
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
    // The image, counting the reads.
    class Counted final : public ByteReader {
    public:
        explicit Counted(RootLabel& owner) : owner_(owner) {}
        bool read(std::uint64_t offset, std::span<std::uint8_t> out) override {
            ++owner_.reads;
            if (offset + out.size() > owner_.image.size()) return false;
            std::memcpy(out.data(), &owner_.image[offset], out.size());
            return true;
        }
        std::uint64_t size() const override { return owner_.image.size(); }

    private:
        RootLabel& owner_;
    };
    std::optional<std::string> label() {
        reads = 0;
        Counted volume(*this);
        return readRootVolumeLabel(boot, volume);
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
} // namespace kesp::fat
