// Geometry and FAT entries on volumes built in memory, at the cluster counts where the type
// changes, and the FAT read in pages under a budget.
#include <gtest/gtest.h>

#include "fat/byte_reader.h"
#include "fat/fat_table.h"
#include "fat/memory_volume.h"

namespace kesp::fat {
namespace {

using test::Layout;
using test::MemoryVolume;

MemoryVolume volumeOf(std::uint32_t clusters) {
    Layout l;
    l.clusters = clusters;
    l.fat32 = clusters >= 65525;
    if (l.fat32) l.reserved = 32;
    return MemoryVolume(l);
}

TEST(FatTable, EntriesReadBackAtEachTypeBoundary) {
    for (std::uint32_t clusters : {4084u, 4085u, 65524u, 65525u}) {
        SCOPED_TRACE(clusters);
        MemoryVolume v = volumeOf(clusters);
        const Geometry& g = v.geometry;
        EXPECT_EQ(g.type, fatTypeForClusters(clusters));
        // The last cluster ends exactly where the volume does.
        EXPECT_EQ(g.clusterOffset(clusters + 1) + g.clusterBytes, g.volumeBytes);
        EXPECT_EQ(g.rootOffset, g.fatOffset + 2 * g.fatBytes);
        EXPECT_EQ(g.dataOffset, g.rootOffset + g.rootBytes);
        // Odd and even neighbours on FAT12 share a byte.
        v.chain({3, 4, 2, clusters + 1, 5});
        const std::uint32_t bad = g.type == FatType::Fat12   ? 0xFF7
                                  : g.type == FatType::Fat16 ? 0xFFF7
                                                             : 0x0FFFFFF7;
        v.link(6, bad);
        BufferReader reader(v.bytes);
        FatTable fat(reader, g);
        std::vector<std::uint32_t> followed{3};
        for (auto next = fat.entry(3); next && !fat.endOfChain(*next); next = fat.entry(*next))
            followed.push_back(*next);
        EXPECT_EQ(followed, (std::vector<std::uint32_t>{3, 4, 2, clusters + 1, 5}));
        EXPECT_EQ(fat.entry(6), bad);
        EXPECT_TRUE(fat.badCluster(bad));
        // The whole FAT read in one piece says the same, odd and even FAT12 neighbours included.
        std::vector<std::uint32_t> all(clusters);
        ASSERT_TRUE(fat.readEntries(2, all));
        for (std::uint32_t c = 2; c < clusters + 2; ++c)
            ASSERT_EQ(all[c - 2], fat.entry(c)) << c;
    }
}

TEST(FatTable, ReadsEachPageOnceAndKeepsItsBudget) {
    // 5,000,000 clusters: a FAT of about 20 MiB, more than the budget allows to keep.
    Geometry g;
    g.type = FatType::Fat32;
    g.clusterCount = 5000000;
    g.fatBytes = (std::uint64_t(g.clusterCount) + 2) * 4;
    g.clusterBytes = 512;
    std::vector<std::uint8_t> bytes(g.fatBytes, 0);
    BufferReader reader(bytes);
    FatTable fat(reader, g);
    for (std::uint32_t c = 2; c < 200000; ++c)
        ASSERT_TRUE(fat.entry(c));
    const std::size_t firstPass = fat.pagesRead();
    EXPECT_EQ(firstPass, (200000 * 4) / FatTable::kPageBytes + 1);
    for (std::uint32_t c = 2; c < 200000; c += 7)
        ASSERT_TRUE(fat.entry(c));
    EXPECT_EQ(fat.pagesRead(), firstPass) << "pages already held are not read again";
    for (std::uint32_t c = 2; c < g.clusterCount; c += 4096)
        ASSERT_TRUE(fat.entry(c));
    EXPECT_LE(fat.bytesHeld(), FatTable::kBudgetBytes);
    EXPECT_FALSE(fat.entry(g.clusterCount + 2)) << "past the FAT";
}

} // namespace
} // namespace kesp::fat
