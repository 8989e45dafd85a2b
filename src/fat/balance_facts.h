#pragma once
// What a walk of a whole FAT volume found, for the volume's balance sheet: its layout, the
// clusters the walk claimed, the FAT read against them and the FSInfo free count.
#include <cstdint>
#include <optional>
#include <vector>

#include "fat/cluster_ledger.h"

namespace kesp::fat {

struct BalanceFacts {
    FatBootSector boot;
    Geometry geometry;
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

// Reads the FAT (the ledger's census) and gathers the rest; only the coverage when the walk did
// not cover the volume.
BalanceFacts balanceFacts(FatVolume& volume, ClusterLedger& ledger);

} // namespace kesp::fat
