#pragma once
// What a walk of a whole FAT or exFAT volume found, for the volume's balance sheet: where its
// parts lie, the clusters the walk claimed, the allocation read against them and, on FAT32, the
// FSInfo free count.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fat/cluster_ledger.h"
#include "fat/exfat_ledger.h"

namespace kesp::fat {

// The parts of a volume that are not clusters, and where its clusters lie.
struct BalanceLayout {
    std::string fileSystem;          // "FAT12", "FAT16", "FAT32", "exFAT"
    std::uint64_t reservedBytes = 0; // the boot region, and on exFAT the gaps the FAT leaves
    std::uint64_t fatBytes = 0;      // every copy
    std::optional<std::uint64_t> fixedRootBytes; // FAT12/16
    bool exfat = false; // its bitmaps and up-case table are clusters of their own
    std::uint32_t clusterBytes = 0;
    std::uint32_t clusterCount = 0;
    std::uint64_t clustersOffset = 0; // cluster 2
    std::uint64_t volumeBytes = 0;    // as the boot sector counts it
};

BalanceLayout balanceLayout(const Geometry& geometry);
BalanceLayout balanceLayout(const ExfatBootSector& boot);

struct BalanceFacts {
    BalanceLayout layout;
    std::optional<std::uint32_t> fsInfoFree;
    ClaimTally claims; // the clusters claimed twice taken out
    ClusterCensus census;
    std::uint64_t sharedClusters = 0;
    bool sharedAllTold = true;
    std::vector<ChainFinding> findings;
    std::uint64_t findingsLeftOut = 0;
    // Every folder the walk claimed was listed to its end.
    bool covered = false;
    std::uint64_t foldersUnread = 0;
};

// Reads the allocation (the ledger's census) and gathers the rest; only the coverage when the
// walk did not cover the volume.
BalanceFacts balanceFacts(FatVolume& volume, ClusterLedger& ledger);
BalanceFacts balanceFacts(ExfatVolume& volume, ExfatLedger& ledger);

} // namespace kesp::fat
