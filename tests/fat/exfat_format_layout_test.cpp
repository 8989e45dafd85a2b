// The exFAT layouts computed for mkfs.exfat, checked against mkfs.exfat itself and dump.exfat on
// sparse images, every cluster size from 4 KiB to 32 MiB; and the SD layout against a factory
// card.
#include "fat/exfat_format_layout.h"
#include "support/exfat_image.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kesp::fat {
namespace {

using kesp::test::dumpExfat;
using kesp::test::makeExfat;

constexpr std::uint64_t KiB = 1024, MiB = KiB * KiB, GiB = MiB * KiB, TiB = GiB * KiB;

struct Made {
    int status = -1;
    std::optional<kesp::test::DumpExfatFacts> facts;
    // mkfs.exfat 1.2.0 also "succeeds" where the bitmap, up-case table and root folder do not
    // fit in the heap (it writes past the end of the image), and where its 32-bit FAT length
    // wraps to nothing: no driver reads those.
    bool usable = false;
};

Made runMkfs(const std::string& image, std::uint64_t bytes, std::uint32_t clusterBytes) {
    Made made;
    std::string output;
    made.status = makeExfat(image, bytes, clusterBytes, "", output);
    if (made.status != 0) return made;
    made.facts = dumpExfat(image);
    std::error_code ec;
    const auto size = std::filesystem::file_size(image, ec);
    made.usable = made.facts && !ec && size == bytes &&
                  made.facts->rootCluster <= made.facts->clusterCount + 1 &&
                  (made.facts->clusterCount + 2) * 4 <= made.facts->fatLength * 512;
    return made;
}

void expectSameLayout(const ExfatLayout& ours, const kesp::test::DumpExfatFacts& real) {
    EXPECT_EQ(ours.clusterBytes, real.clusterBytes);
    EXPECT_EQ(ours.volumeBytes, real.volumeSectors * 512);
    EXPECT_EQ(ours.fatOffset, real.fatOffset * 512);
    EXPECT_EQ(ours.fatBytes, real.fatLength * 512);
    EXPECT_EQ(ours.heapOffset, real.heapOffset * 512);
    EXPECT_EQ(ours.clusterCount, real.clusterCount);
    EXPECT_EQ(ours.bitmapCluster(), real.bitmapCluster);
    EXPECT_EQ(ours.upcaseCluster(), real.upcaseCluster);
    EXPECT_EQ(ours.rootCluster(), real.rootCluster);
    EXPECT_EQ(ours.freeClusters(), real.freeClusters);
}

class MkfsExfatGeometry : public testing::TestWithParam<std::uint64_t> {};

TEST_P(MkfsExfatGeometry, EveryClusterSizeAsMkfsExfatLaysItOut) {
    KESP_REQUIRE_EXFAT_TOOLS(false);
    const std::uint64_t bytes = GetParam();
    // mkfs.exfat writes everything up to the root folder: up to 160 MiB here, in memory if it can.
    kesp::test::TempDir dir(kesp::test::TempDir::Backing::MemoryIfPossible);
    const std::string image = dir / "ex.img";
    int made = 0;
    for (std::uint32_t clusterBytes = 4 * KiB; clusterBytes <= 32 * MiB; clusterBytes *= 2) {
        SCOPED_TRACE(testing::Message() << "-c " << clusterBytes << " on " << bytes << " bytes");
        const auto ours = mkfsExfatLayout(bytes, clusterBytes);
        const Made real = runMkfs(image, bytes, clusterBytes);
        ASSERT_EQ(ours.has_value(), real.usable) << "mkfs.exfat status " << real.status;
        if (!ours) continue;
        ++made;
        expectSameLayout(*ours, *real.facts);
    }
    EXPECT_GT(made, 0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, MkfsExfatGeometry,
                         testing::Values(64 * MiB, 300 * MiB, 1 * GiB, 40 * GiB, 128 * GiB));

TEST(MkfsExfatRefusals, SizesAndClusterSizesItDoesNotFormat) {
    KESP_REQUIRE_EXFAT_TOOLS(false);
    kesp::test::TempDir dir(kesp::test::TempDir::Backing::MemoryIfPossible);
    const std::string image = dir / "ex.img";
    const struct {
        std::uint64_t bytes;
        std::uint32_t clusterBytes;
    } cases[] = {
        {64 * MiB, 3000},             // not a power of two
        {64 * MiB, 256},              // under a sector
        {64 * MiB, 64 * MiB},         // over 32 MiB
        {2 * MiB, 4 * KiB},           // the heap would start at the end
        {2 * MiB + 8 * KiB, 4 * KiB}, // two clusters: no room for its own
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "-c " << c.clusterBytes << " on " << c.bytes);
        EXPECT_FALSE(runMkfs(image, c.bytes, c.clusterBytes).usable);
        EXPECT_EQ(mkfsExfatLayout(c.bytes, c.clusterBytes), std::nullopt);
    }
}

TEST(MkfsExfatDefault, ClusterSizeAsMkfsExfatPicksIt) {
    KESP_REQUIRE_EXFAT_TOOLS(false);
    kesp::test::TempDir dir(kesp::test::TempDir::Backing::MemoryIfPossible);
    const std::string image = dir / "ex.img";
    for (std::uint64_t bytes :
         {64 * MiB, 256 * MiB, 256 * MiB + 512, 32 * GiB, 32 * GiB + 512, 40 * GiB}) {
        SCOPED_TRACE(bytes);
        const Made real = runMkfs(image, bytes, 0);
        ASSERT_TRUE(real.usable) << "mkfs.exfat status " << real.status;
        const std::uint32_t clusterBytes = mkfsExfatDefaultClusterBytes(bytes);
        EXPECT_EQ(clusterBytes, real.facts->clusterBytes);
        const auto ours = mkfsExfatLayout(bytes, clusterBytes);
        ASSERT_TRUE(ours);
        expectSameLayout(*ours, *real.facts);
    }
}

TEST(SdExfatLayout, FactoryCardAndTheCapacityBounds) {
    // A factory 64 GB card: 125,073,408 sectors, partition at sector 32,768, 488,312 clusters of
    // 128 KiB, 488,309 free.
    const auto card = sdExfatLayout(125073408ull * 512);
    ASSERT_TRUE(card);
    EXPECT_EQ(card->partitionOffset / 512, 32768u);
    EXPECT_EQ(card->clusterBytes, 128 * KiB);
    EXPECT_EQ(card->clusterCount, 488312u);
    EXPECT_EQ(card->freeClusters(), 488309u);
    EXPECT_EQ(card->fatOffset, 8 * MiB);
    EXPECT_EQ(card->heapOffset, 16 * MiB);
    EXPECT_EQ(card->partitionOffset + card->volumeBytes, 125073408ull * 512);
    EXPECT_EQ(card->rootCluster(), 4u);

    // SDXC runs from over 32 GiB to 2 TiB; each row of the table ends on its capacity.
    EXPECT_EQ(sdExfatLayout(32 * GiB), std::nullopt);
    EXPECT_EQ(sdExfatLayout(2 * TiB + 512), std::nullopt);
    const struct {
        std::uint64_t bytes;
        std::uint32_t clusterBytes;
        std::uint64_t boundary;
    } rows[] = {
        {32 * GiB + 512, 128 * KiB, 16 * MiB},  {128 * GiB, 128 * KiB, 16 * MiB},
        {128 * GiB + 512, 256 * KiB, 32 * MiB}, {512 * GiB, 256 * KiB, 32 * MiB},
        {512 * GiB + 512, 512 * KiB, 64 * MiB}, {2 * TiB, 512 * KiB, 64 * MiB},
    };
    for (const auto& row : rows) {
        const auto layout = sdExfatLayout(row.bytes);
        ASSERT_TRUE(layout) << row.bytes;
        EXPECT_EQ(layout->clusterBytes, row.clusterBytes) << row.bytes;
        EXPECT_EQ(layout->partitionOffset, row.boundary) << row.bytes;
        // The FAT fits in its half unit, and the heap in the partition.
        EXPECT_LE((std::uint64_t{layout->clusterCount} + 2) * 4, layout->fatBytes) << row.bytes;
        EXPECT_LE(layout->heapOffset + layout->heapBytes(), layout->volumeBytes) << row.bytes;
    }
}

} // namespace
} // namespace kesp::fat
