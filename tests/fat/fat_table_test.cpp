// Geometry and FAT chains on volumes built in memory, at the cluster counts where the type
// changes, and chains that damage would make endless.
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

TEST(FatTable, ChainsReadBackAtEachTypeBoundary) {
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
        BufferReader reader(v.bytes);
        FatTable fat(reader, g);
        const Chain chain = fat.chain(3);
        EXPECT_EQ(chain.failure, "");
        EXPECT_EQ(chain.clusters, (std::vector<std::uint32_t>{3, 4, 2, clusters + 1, 5}));
    }
}

TEST(FatTable, DamagedChainsStopWithAReason) {
    struct Case {
        const char* what;
        std::uint32_t next; // what cluster 3 points at
        const char* failure;
    };
    for (const auto& c :
         {Case{"loop", 2, "chaîne de clusters en boucle"},
          Case{"past the end", 5000, "chaîne de clusters hors du volume"},
          Case{"reserved", 1, "chaîne de clusters hors du volume"},
          Case{"free", 0, "chaîne de clusters menant à un cluster libre"},
          Case{"bad", 0xFFF7, "chaîne de clusters menant à un cluster défectueux"}}) {
        SCOPED_TRACE(c.what);
        MemoryVolume v = volumeOf(4085);
        v.link(2, 3);
        v.link(3, c.next);
        BufferReader reader(v.bytes);
        FatTable fat(reader, v.geometry);
        const Chain chain = fat.chain(2);
        EXPECT_EQ(chain.failure.substr(0, std::string(c.failure).size()), c.failure);
        EXPECT_LE(chain.clusters.size(), v.geometry.clusterCount);
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
