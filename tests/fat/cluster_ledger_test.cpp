// The cluster ledger on volumes built in memory: what each chain gives its file, the problems a
// damaged chain shows, the clusters claimed twice, and the FAT read against the claims.
#include <gtest/gtest.h>

#include <functional>

#include "fat/byte_reader.h"
#include "fat/cluster_ledger.h"
#include "fat/fs_info.h"
#include "fat/memory_volume.h"

namespace kesp::fat {
namespace {

using test::Layout;
using test::MemoryVolume;

// FAT16, 512-byte clusters.
Layout fat16() {
    Layout l;
    l.clusters = 5000;
    return l;
}

Layout fat32() {
    Layout l;
    l.fat32 = true;
    l.reserved = 32;
    l.clusters = 70000;
    l.rootCluster = 2;
    return l;
}

struct Volume {
    explicit Volume(const Layout& layout) : memory(layout) {}
    FatVolume& open() {
        std::string error;
        fat = FatVolume::open(reader, error);
        EXPECT_TRUE(fat) << error;
        return *fat;
    }
    MemoryVolume memory;
    BufferReader reader{memory.bytes};
    std::unique_ptr<FatVolume> fat;
};

struct Found {
    ChainProblem problem;
    std::string path;
    std::uint64_t chainClusters;
    std::uint64_t clusters;
    std::uint32_t cluster;
    bool operator==(const Found&) const = default;
};

std::vector<Found> found(const ClusterLedger& ledger) {
    std::vector<Found> out;
    for (const ChainFinding& f : ledger.findings())
        out.push_back({f.problem, f.path, f.chainClusters, f.clusters, f.cluster});
    return out;
}

void PrintTo(const Found& f, std::ostream* out) {
    *out << int(f.problem) << " " << f.path << " chain " << f.chainClusters << " clusters "
         << f.clusters << " at " << f.cluster;
}

// A.BIN, 1500 bytes in 3 clusters, claimed first by every case below.
constexpr std::uint64_t kA = 1500;

TEST(ClusterLedger, EachDamagedChainIsNamedOnceAndItsClustersCountedOnce) {
    struct Case {
        const char* what;
        std::function<void(MemoryVolume&)> damage;
        std::uint32_t first;
        std::uint64_t size;
        std::vector<Found> findings; // B's
        std::uint64_t fileClusters;  // A's and B's, the shared taken out
        std::uint64_t fileBytes;
        std::uint64_t shared;
    };
    using P = ChainProblem;
    const Case cases[] = {
        {"sound",
         [](MemoryVolume& v) {
             v.chain({20, 21});
         },
         20,
         600,
         {},
         5,
         kA + 600,
         0},
        {"too long: the excess is B's own",
         [](MemoryVolume& v) {
             v.chain({20, 21, 22, 23});
         },
         20,
         600,
         {{P::TooLong, "/B", 2, 2, 22}},
         7,
         kA + 600,
         0},
        {"too long into A: the excess stops there, nothing shared",
         [](MemoryVolume& v) {
             v.link(20, 21);
             v.link(21, 4);
         },
         20,
         100,
         {{P::TooLong, "/B", 1, 1, 21}},
         5,
         kA + 100,
         0},
        {"a size of 0 with a cluster",
         [](MemoryVolume& v) { v.chain({20}); },
         20,
         0,
         {{P::TooLong, "/B", 0, 1, 20}},
         4,
         kA,
         0},
        {"truncated",
         [](MemoryVolume& v) { v.chain({20}); },
         20,
         2000,
         {{P::Truncated, "/B", 1, 0, 0}},
         4,
         kA + 512,
         0},
        {"a size without a cluster",
         [](MemoryVolume&) {},
         0,
         10,
         {{P::Truncated, "/B", 0, 0, 0}},
         3,
         kA,
         0},
        {"into A's second cluster: A's last two are shared",
         [](MemoryVolume& v) { v.link(20, 4); },
         20,
         1536,
         {{P::Shared, "/B", 1, 0, 4}, {P::Truncated, "/B", 1, 0, 0}},
         2,
         kA + 512 - 2 * 512,
         2},
        {"a loop",
         [](MemoryVolume& v) {
             v.chain({20, 21});
             v.link(21, 20);
         },
         20,
         5000,
         {{P::Loop, "/B", 2, 0, 20}, {P::Truncated, "/B", 2, 0, 0}},
         5,
         kA + 1024,
         0},
        {"into a free cluster",
         [](MemoryVolume& v) { v.link(20, 21); },
         20,
         1000,
         {{P::IntoFree, "/B", 1, 0, 21}, {P::Truncated, "/B", 1, 0, 0}},
         4,
         kA + 512,
         0},
        {"into a bad cluster",
         [](MemoryVolume& v) {
             v.link(20, 21);
             v.link(21, 0xFFF7);
         },
         20,
         1000,
         {{P::IntoBad, "/B", 1, 0, 21}, {P::Truncated, "/B", 1, 0, 0}},
         4,
         kA + 512,
         0},
        {"out of the volume",
         [](MemoryVolume& v) { v.link(20, 5100); },
         20,
         1000,
         {{P::OutsideVolume, "/B", 1, 0, 5100}, {P::Truncated, "/B", 1, 0, 0}},
         4,
         kA + 512,
         0},
        {"a first cluster out of the volume",
         [](MemoryVolume&) {},
         6000,
         10,
         {{P::BadStart, "/B", 0, 0, 6000}, {P::Truncated, "/B", 0, 0, 0}},
         3,
         kA,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Volume v(fat16());
        v.memory.chain({3, 4, 5});
        c.damage(v.memory);
        ClusterLedger ledger(v.open());
        ledger.claimRoot();
        ledger.claimFile(3, kA, "/", "A");
        ledger.claimFile(c.first, c.size, "/", "B");
        EXPECT_EQ(found(ledger), c.findings);
        const ClaimTally tally = ledger.tally();
        EXPECT_EQ(tally.fileClusters, c.fileClusters);
        EXPECT_EQ(tally.fileBytes, c.fileBytes);
        EXPECT_EQ(ledger.sharedClusters(), c.shared);
        EXPECT_EQ(tally.files, 2u);
        // Whatever the damage, the FAT's clusters add up: claimed once, shared, free, lost, bad.
        const ClusterCensus& census = ledger.census();
        EXPECT_EQ(tally.fileClusters + ledger.sharedClusters() + census.free + census.lost +
                      census.bad,
                  5000u);
    }
}

TEST(ClusterLedger, FoldersTheirChainsAndWhoLosesAClusterClaimedTwice) {
    Volume v(fat32());
    v.memory.chain({2, 3}); // the root
    v.memory.chain({10, 11});
    v.memory.chain({20, 11}); // a file that runs into the folder's last cluster
    ClusterLedger ledger(v.open());
    ledger.claimRoot();
    EXPECT_TRUE(ledger.claimFolder(10, "/", "DCIM"));
    ledger.claimFile(20, 1024, "/DCIM/", "X.JPG");
    // A second entry for the folder: the walk must not count it again.
    EXPECT_FALSE(ledger.claimFolder(10, "/", "COPIE"));
    EXPECT_FALSE(ledger.claimFolder(0, "/", "ZERO"));

    const ClaimTally tally = ledger.tally();
    EXPECT_EQ(tally.folders, 2u);
    EXPECT_EQ(tally.folderClusters, 2u) << "the root's: DCIM's are claimed by COPIE as well";
    EXPECT_EQ(tally.fileClusters, 1u);
    EXPECT_EQ(ledger.sharedClusters(), 2u) << "DCIM's 11, then its whole chain from 10";
    using P = ChainProblem;
    EXPECT_EQ(found(ledger), (std::vector<Found>{{P::Shared, "/DCIM/X.JPG", 1, 0, 11},
                                                 {P::Truncated, "/DCIM/X.JPG", 1, 0, 0},
                                                 {P::Shared, "/COPIE/", 0, 0, 10},
                                                 {P::BadStart, "/ZERO/", 0, 0, 0}}));
    // Two listings to expect: the root's and DCIM's.
    EXPECT_FALSE(ledger.covered());
    ledger.listingEnded(true);
    ledger.listingEnded(true);
    EXPECT_TRUE(ledger.covered());
    ledger.listingEnded(false);
    EXPECT_FALSE(ledger.covered());
    EXPECT_EQ(ledger.foldersUnread(), 1u);
}

TEST(ClusterLedger, LostChainsAreCountedAsFsckSalvagesThem) {
    Volume v(fat16());
    v.memory.chain({3, 4, 5}); // A.BIN
    v.memory.chain({100, 101});
    v.memory.chain({200});
    v.memory.chain({300, 301, 302});
    v.memory.link(310, 301); // a second start into the same chain: two chains
    v.memory.link(400, 401);
    v.memory.link(401, 400); // a loop, cut after 400: one chain from 401
    v.memory.link(500, 4);   // into A: ends there
    v.memory.link(600, 601); // into a free cluster: ends there, 601 stays free
    v.memory.link(700, 0xFFF7);
    ClusterLedger ledger(v.open());
    ledger.claimRoot();
    ledger.claimFile(3, kA, "/", "A");
    const ClusterCensus& census = ledger.census();
    EXPECT_EQ(census.lost, 11u);
    EXPECT_EQ(census.lostChains, 7u);
    EXPECT_EQ(census.lostStarts, (std::vector<std::uint32_t>{100, 200, 300, 310, 401, 500, 600}));
    EXPECT_EQ(census.bad, 1u);
    EXPECT_EQ(census.free, 5000u - 3 - 11 - 1);
    EXPECT_EQ(census.uncounted, 0u);
}

TEST(ClusterLedger, ListsTheFirstLostChainsButCountsThemAll) {
    Volume v(fat16());
    for (std::uint32_t c = 1000; c < 1050; c += 2)
        v.memory.chain({c});
    ClusterLedger ledger(v.open());
    ledger.claimRoot();
    const ClusterCensus& census = ledger.census();
    EXPECT_EQ(census.lostChains, 25u);
    ASSERT_EQ(census.lostStarts.size(), ClusterLedger::kLostListed);
    EXPECT_EQ(census.lostStarts.front(), 1000u);
    EXPECT_EQ(census.lostStarts.back(), 1038u);
}

TEST(ClusterLedger, KeepsABoundedListOfProblems) {
    Volume v(fat16());
    ClusterLedger ledger(v.open());
    for (int i = 0; i < 150; ++i)
        ledger.claimFile(0, 1, "/", "F" + std::to_string(i));
    EXPECT_EQ(ledger.findings().size(), ClusterLedger::kFindingsKept);
    EXPECT_EQ(ledger.findingsLeftOut(), 50u);
}

TEST(FsInfo, TheFreeCountOnlyWhenTheSectorIsOne) {
    Volume v(fat32());
    std::vector<std::uint8_t>& b = v.memory.bytes;
    test::put16(b, 48, 1);
    const auto sector = std::span(b).subspan(512, 512);
    test::put32(sector, 0, 0x41615252);
    test::put32(sector, 484, 0x61417272);
    test::put32(sector, 488, 12345);
    test::put32(sector, 508, 0xAA550000);
    auto boot = [&] { return *parseFatBootSector(b); };
    EXPECT_EQ(fsInfoFreeCount(v.reader, boot()), 12345u);
    test::put32(sector, 488, 0xFFFFFFFF);
    EXPECT_EQ(fsInfoFreeCount(v.reader, boot()), std::nullopt) << "unknown";
    test::put32(sector, 488, 12345);
    test::put32(sector, 484, 0);
    EXPECT_EQ(fsInfoFreeCount(v.reader, boot()), std::nullopt) << "a signature wrong";
    test::put32(sector, 484, 0x61417272);
    test::put16(b, 48, 0xFFFF);
    EXPECT_EQ(fsInfoFreeCount(v.reader, boot()), std::nullopt) << "no FSInfo sector";

    Volume small(fat16());
    EXPECT_EQ(fsInfoFreeCount(small.reader, *parseFatBootSector(small.memory.bytes)), std::nullopt);
}

} // namespace
} // namespace kesp::fat
