#pragma once
// The exFAT ledger: every allocation that a walk of a whole exFAT volume reaches (a contiguous
// run, or a FAT chain, as its Stream Extension says) marked in one bit per cluster as the walk
// delivers its entry. Once the walk is over, the allocation bitmap, which alone says which
// clusters are in use, is read against the claims.
#include <cstdint>
#include <optional>
#include <string_view>

#include "fat/cluster_ledger.h"
#include "fat/exfat_volume.h"

namespace kesp::fat {

class ExfatLedger final : public ClaimLedger {
public:
    explicit ExfatLedger(ExfatVolume& volume);

    // The volume's own allocations (the bitmaps, the up-case table) and the root folder's chain;
    // a listing to expect.
    void claimRoot();
    // As ClusterLedger's, for an entry whose data is `length` bytes from `firstCluster`, in one
    // run when `contiguous`, else along the FAT. A folder of no cluster is its own, and empty.
    bool claimFolder(std::uint32_t firstCluster, std::uint64_t length, bool contiguous,
                     std::string_view parent, std::string_view name);
    void claimFile(std::uint32_t firstCluster, std::uint64_t length, bool contiguous,
                   std::string_view parent, std::string_view name);

    // Reads the allocation bitmap (the first call only).
    const ClusterCensus& census();

private:
    struct Followed {
        std::uint64_t own = 0;    // clusters claimed first, within the length
        std::uint64_t excess = 0; // a chain's beyond it
        std::uint64_t shared = 0; // a run's clusters claimed before: still within it
    };

    // Claims the allocation of `claim` (its need, or to the chain's end without one).
    Followed follow(const Claim& claim, bool contiguous);
    Followed followRun(const Claim& claim);
    Followed followChain(const Claim& claim);
    std::uint64_t claimExcess(std::uint32_t cluster);
    std::optional<std::uint32_t> nextInChain(std::uint32_t cluster) override;
    void claimSystem(const std::optional<ExfatExtent>& extent, std::string_view name);
    ClusterCensus takeCensus();

    ExfatVolume& volume_;
    ExfatFat& fat_;
    ExfatGeometry geometry_;
    std::optional<ClusterCensus> census_;
};

} // namespace kesp::fat
