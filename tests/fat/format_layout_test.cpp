// The layouts computed for mkfs.fat, checked against mkfs.fat itself on sparse images: every
// width and cluster size at a spread of sizes, plus the sizes around each point where a cluster
// size stops making FAT16 and starts making a FAT32 every driver reads.
#include "fat/format_layout.h"
#include "support/fat_image.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <set>

namespace kesp::fat {
namespace {

using kesp::test::runProgram;

constexpr std::uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB;
constexpr FatType kWidths[] = {FatType::Fat12, FatType::Fat16, FatType::Fat32};

struct BootFigures {
    std::uint32_t reserved = 0, rootEntries = 0, sectorsPerFat = 0, totalSectors = 0;
    std::uint32_t sectorsPerCluster = 0, fats = 0, clusters = 0;
};

std::uint32_t le(const unsigned char* p, int n) {
    std::uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// mkfs.fat's verdict: nullopt when it refused, else the boot sector it wrote and the cluster
// count it announced.
std::optional<BootFigures> runMkfs(const std::string& folder, FatType bits, std::uint32_t spc,
                                   std::uint64_t bytes) {
    const std::string image = folder + "/v.img";
    std::remove(image.c_str());
    std::string output;
    const int rc =
        runProgram({"mkfs.fat", "-v", "-C", "-F", std::to_string(static_cast<int>(bits)), "-s",
                    std::to_string(spc), "-S", "512", image, std::to_string(bytes / KiB)},
                   output);
    if (rc != 0) {
        std::remove(image.c_str());
        return std::nullopt;
    }
    unsigned char b[512] = {};
    std::ifstream(image, std::ios::binary).read(reinterpret_cast<char*>(b), sizeof b);
    std::remove(image.c_str());
    BootFigures f;
    f.sectorsPerCluster = b[13];
    f.reserved = le(b + 14, 2);
    f.fats = b[16];
    f.rootEntries = le(b + 17, 2);
    f.totalSectors = le(b + 19, 2) != 0 ? le(b + 19, 2) : le(b + 32, 4);
    f.sectorsPerFat = le(b + 22, 2) != 0 ? le(b + 22, 2) : le(b + 36, 4);
    std::smatch m;
    static const std::regex announced("provides ([0-9]+) cluster");
    if (std::regex_search(output, m, announced)) f.clusters = std::stoul(m[1]);
    return f;
}

// The sizes where `spc` stops making FAT16 and where it starts making a FAT32 of at least 65526
// clusters, found on the model and then each checked, with its neighbour, against mkfs.fat.
std::set<std::uint64_t> edgeSizes() {
    std::set<std::uint64_t> sizes;
    const auto lastTrue = [](auto holds) {
        std::uint64_t lo = MiB / KiB, hi = 64 * GiB / KiB; // holds(lo), !holds(hi)
        while (hi - lo > 1) {
            const std::uint64_t mid = lo + (hi - lo) / 2;
            (holds(mid * KiB) ? lo : hi) = mid;
        }
        return lo * KiB;
    };
    for (std::uint32_t spc : {2u, 8u, 32u, 128u}) {
        const std::uint64_t fat16End = lastTrue([&](std::uint64_t v) {
            return v < 4 * MiB || mkfsLayout(FatType::Fat16, spc, v).has_value();
        });
        const std::uint64_t fat32Start = lastTrue([&](std::uint64_t v) {
            const auto l = mkfsLayout(FatType::Fat32, spc, v);
            return !l || l->clusterCount < kMinFat32Clusters;
        });
        sizes.insert({fat16End, fat16End + KiB, fat32Start, fat32Start + KiB});
    }
    return sizes;
}

class MkfsGeometry : public testing::TestWithParam<std::uint64_t> {};

TEST_P(MkfsGeometry, EveryWidthAndClusterSizeAsMkfsFatLaysItOut) {
    KESP_REQUIRE_FAT_TOOLS(false);
    const std::uint64_t bytes = GetParam();
    kesp::test::TempDir dir;
    int made = 0;
    for (FatType bits : kWidths) {
        for (std::uint32_t spc = 1; spc <= 128; spc *= 2) {
            SCOPED_TRACE(testing::Message() << "FAT" << static_cast<int>(bits) << " -s " << spc
                                            << " on " << bytes << " bytes");
            const auto ours = mkfsLayout(bits, spc, bytes);
            const auto real = runMkfs(dir.path(), bits, spc, bytes);
            ASSERT_EQ(ours.has_value(), real.has_value());
            if (!real) continue;
            ++made;
            EXPECT_EQ(real->sectorsPerCluster, spc);
            EXPECT_EQ(real->fats, kFatCopies);
            EXPECT_EQ(ours->reservedSectors, real->reserved);
            EXPECT_EQ(ours->rootEntries, real->rootEntries);
            EXPECT_EQ(ours->sectorsPerFat, real->sectorsPerFat);
            EXPECT_EQ(ours->totalSectors, real->totalSectors);
            EXPECT_EQ(ours->clusterCount, real->clusters);
            // Whole clusters fit between the data start and the end, with less than one left.
            EXPECT_LE(ours->firstDataSector() + std::uint64_t{ours->clusterCount} * spc,
                      ours->totalSectors);
            EXPECT_GT(ours->firstDataSector() + std::uint64_t{ours->clusterCount + 1} * spc,
                      ours->totalSectors);
        }
    }
    EXPECT_GT(made, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MkfsGeometry,
                         testing::Values(4 * MiB, 16 * MiB, 64 * MiB, 300 * MiB, 1 * GiB, 8 * GiB,
                                         40 * GiB, 1440 * KiB, 5 * MiB + 512, 64 * KiB, 100 * KiB,
                                         720 * KiB, 2 * MiB + 3 * KiB));

TEST(MkfsGeometryEdges, WhereAClusterSizeTurnsFromFat16ToFat32) {
    KESP_REQUIRE_FAT_TOOLS(false);
    kesp::test::TempDir dir;
    for (std::uint64_t bytes : edgeSizes()) {
        for (FatType bits : {FatType::Fat16, FatType::Fat32}) {
            for (std::uint32_t spc : {2u, 8u, 32u, 128u}) {
                SCOPED_TRACE(testing::Message() << "FAT" << static_cast<int>(bits) << " -s " << spc
                                                << " on " << bytes << " bytes");
                const auto ours = mkfsLayout(bits, spc, bytes);
                const auto real = runMkfs(dir.path(), bits, spc, bytes);
                ASSERT_EQ(ours.has_value(), real.has_value());
                if (!real) continue;
                EXPECT_EQ(ours->sectorsPerFat, real->sectorsPerFat);
                EXPECT_EQ(ours->clusterCount, real->clusters);
            }
        }
    }
}

// mkfs.fat left to choose: the width it wrote (boot sector type text) and its cluster size.
TEST(MkfsDefault, WidthAndClusterSizeAsMkfsFatChoosesThem) {
    KESP_REQUIRE_FAT_TOOLS(false);
    kesp::test::TempDir dir;
    const std::string image = dir.path() + "/d.img";
    for (std::uint64_t bytes : {1440 * KiB, 4 * MiB, 16 * MiB, 64 * MiB, 300 * MiB, 511 * MiB,
                                512 * MiB, 1 * GiB, 8 * GiB + 4 * MiB, 40 * GiB}) {
        SCOPED_TRACE(bytes);
        std::remove(image.c_str());
        std::string output;
        ASSERT_EQ(runProgram({"mkfs.fat", "-C", image, std::to_string(bytes / KiB)}, output), 0)
            << output;
        unsigned char b[512] = {};
        std::ifstream(image, std::ios::binary).read(reinterpret_cast<char*>(b), sizeof b);
        std::remove(image.c_str());
        const bool fat32 = le(b + 22, 2) == 0;
        const std::string type(reinterpret_cast<const char*>(b + (fat32 ? 82 : 54)), 5);
        const auto ours = mkfsDefaultLayout(bytes);
        ASSERT_TRUE(ours);
        EXPECT_EQ("FAT" + std::to_string(static_cast<int>(ours->bits)), type);
        EXPECT_EQ(ours->sectorsPerCluster, b[13]);
        EXPECT_EQ(ours->sectorsPerFat, fat32 ? le(b + 36, 4) : le(b + 22, 2));
    }
}

} // namespace
} // namespace kesp::fat
