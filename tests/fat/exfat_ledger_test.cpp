// The exFAT ledger on a volume built in memory: runs and FAT chains claimed as their Stream
// Extension says, the bitmap read against the claims, lost clusters told in runs.
#include <gtest/gtest.h>

#include "fat/byte_reader.h"
#include "fat/exfat_ledger.h"
#include "fat/exfat_memory_volume.h"

namespace kesp::fat {
namespace {

constexpr std::uint64_t kCluster = 8192;

TEST(ExfatLedger, RunsChainsAndTheBitmapEachClusterCountedOnce) {
    test::ExfatShape shape;
    shape.clusterShift = 4; // 8 KiB: the up-case table fits one cluster
    test::ExfatMemoryVolume v(shape);
    v.chain({20, 21});     // B
    v.chain({30, 31, 32}); // C, one cluster long
    v.chain({40});         // D, three clusters long
    v.link(62, 0xFFFFFFF7);
    for (std::uint32_t c : {10u, 11u, 12u, 20u, 21u, 30u, 31u, 32u, 40u, 50u, 60u, 61u, 62u, 63u})
        v.allocate(c);
    BufferReader reader(v.bytes);
    std::string error;
    auto volume = ExfatVolume::open(reader, error);
    ASSERT_TRUE(volume) << error;

    ExfatLedger ledger(*volume);
    ledger.claimRoot();
    EXPECT_TRUE(ledger.claimFolder(50, kCluster, true, "/", "SUB"));
    EXPECT_TRUE(ledger.claimFolder(0, 0, false, "/", "VIDE")) << "empty, and its own";
    ledger.claimFile(10, 3 * kCluster - 100, true, "/", "A");
    ledger.claimFile(20, 2 * kCluster, false, "/", "B");
    ledger.claimFile(30, kCluster, false, "/", "C");
    ledger.claimFile(40, 3 * kCluster, false, "/", "D");
    // A run over A's last cluster, and one the bitmap leaves free.
    ledger.claimFile(12, 2 * kCluster, true, "/SUB/", "E");

    std::vector<std::tuple<ChainProblem, std::string, std::uint64_t, std::uint64_t>> found;
    for (const ChainFinding& f : ledger.findings())
        found.emplace_back(f.problem, f.path, f.chainClusters, f.clusters);
    using P = ChainProblem;
    EXPECT_EQ(found, (decltype(found){{P::TooLong, "/C", 1, 2},
                                      {P::Truncated, "/D", 1, 0},
                                      {P::Shared, "/SUB/E", 0, 0}}));

    const ClusterCensus& census = ledger.census();
    const ClaimTally tally = ledger.tally();
    EXPECT_EQ(tally.systemClusters, 2u) << "bitmap and up-case";
    EXPECT_EQ(tally.folderClusters, 2u) << "the root's and SUB's";
    EXPECT_EQ(tally.folders, 3u);
    EXPECT_EQ(tally.fileClusters, 9u) << "A 3, B 2, C 1 and 2 in excess, D 1, E 1; A's last shared";
    EXPECT_EQ(tally.fileBytes,
              (3 * kCluster - 100) + 2 * kCluster + kCluster + kCluster + kCluster - kCluster);
    EXPECT_EQ(ledger.sharedClusters(), 1u);
    EXPECT_EQ(census.claimedFree, 1u) << "E's 13";
    EXPECT_EQ(census.bad, 1u);
    EXPECT_EQ(census.lost, 3u);
    EXPECT_EQ(census.lostChains, 2u) << "60 and 61, then 63 past the bad 62";
    EXPECT_EQ(census.lostStarts, (std::vector<std::uint32_t>{60, 63}));
    EXPECT_EQ(census.uncounted, 0u);
    EXPECT_EQ(tally.systemClusters + tally.folderClusters + tally.fileClusters +
                  ledger.sharedClusters() + census.free + census.bad + census.lost,
              64u);

    ledger.listingEnded(true);
    ledger.listingEnded(true);
    EXPECT_FALSE(ledger.covered()) << "VIDE's listing has not ended yet";
    ledger.listingEnded(true);
    EXPECT_TRUE(ledger.covered());
}

} // namespace
} // namespace kesp::fat
