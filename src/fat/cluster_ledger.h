#pragma once
// Every cluster that a walk of a whole FAT volume reaches. Each folder's and file's chain is
// followed in the FAT when the walk delivers its entry and marked in one bit per cluster; once
// the walk is over, the bits and the FAT tell the clusters no file claims, those claimed twice
// and the chains that do not fit their file's size, counted as fsck.fat counts them. Nothing is
// kept per file: only the problems found (a bounded list), the clusters of the folders and those
// claimed twice.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "fat/fat_volume.h"

namespace kesp::fat {

enum class ChainProblem {
    TooLong,       // more clusters than the size needs: the rest are in excess
    Truncated,     // fewer: the end of the file is not on the volume
    Shared,        // runs into clusters claimed before by another file or folder
    Loop,          // comes back to one of its own clusters
    IntoFree,      // runs into a cluster the FAT marks free
    IntoBad,       // runs into a cluster marked bad
    OutsideVolume, // a link past the last cluster
    BadStart,      // the first cluster is not one of the volume's
    FatUnreadable, // the FAT could not be read along the chain
};

struct ChainFinding {
    ChainProblem problem = ChainProblem::TooLong;
    std::string path; // in the volume, "/DCIM/IMG_0001.JPG"; a folder's ends with "/"
    bool folder = false;
    std::uint64_t size = 0;          // the entry's size (files)
    std::uint64_t chainClusters = 0; // what its chain gave it before the problem
    std::uint64_t clusters = 0;      // TooLong: in excess
    std::uint32_t cluster = 0;       // where it happened; OutsideVolume: the link
};

// What the claims took, each cluster counted once, with whoever claimed it first.
struct ClaimTally {
    std::uint64_t folders = 0; // the root's chain included
    std::uint64_t files = 0;
    std::uint64_t folderClusters = 0;
    std::uint64_t fileClusters = 0;   // the excess of chains too long included
    std::uint64_t fileBytes = 0;      // the files' sizes, as far as their own clusters hold them
    std::uint64_t systemClusters = 0; // exFAT: the allocation bitmaps and the up-case table
};

// The allocation read once the walk is over (the FAT; exFAT's bitmap), against what the walk
// claimed.
struct ClusterCensus {
    std::uint64_t free = 0;
    std::uint64_t bad = 0;
    std::uint64_t lost = 0; // allocated, yet nothing the walk reached claims them
    // FAT: the lost chains, as fsck.fat salvages them; exFAT: the runs of lost clusters.
    std::uint64_t lostChains = 0;
    std::vector<std::uint32_t> lostStarts; // the first cluster of the first ones, ascending
    std::uint64_t uncounted = 0;           // clusters whose allocation could not be read
    // exFAT: clusters claimed by a file or folder that the bitmap says are free.
    std::uint64_t claimedFree = 0;
};

// What a ledger keeps whatever the file system: one bit per cluster, the tally, the problems
// found (a bounded list), the clusters of the folders and those claimed twice, and which
// listings ended whole.
class ClaimLedger {
public:
    static constexpr std::size_t kFindingsKept = 100;
    static constexpr std::size_t kLostListed = 20;
    // Clusters claimed twice that are told apart; past that (a volume that is mostly
    // cross-links), the rest stay counted with their first claimer.
    static constexpr std::size_t kSharedTracked = std::size_t(1) << 18;

    // A listing that claims ended: read to its end, or not. The walk covered the whole volume
    // when every folder claimed was listed to its end.
    void listingEnded(bool whole);
    bool covered() const { return listedWhole_ == expected_ && unread_ == 0; }
    std::uint64_t foldersUnread() const { return unread_; }

    // The claims so far, the clusters claimed twice taken out of their first claimer's count.
    ClaimTally tally();
    // Clusters claimed twice, each counted once; `sharedAllTold` false past kSharedTracked.
    std::uint64_t sharedClusters() const { return shared_.size(); }
    bool sharedAllTold() const { return !sharedOverflow_; }
    const std::vector<ChainFinding>& findings() const { return findings_; }
    std::uint64_t findingsLeftOut() const { return findingsLeftOut_; }

protected:
    ClaimLedger(std::uint32_t clusterCount, std::uint32_t clusterBytes);
    ~ClaimLedger() = default;

    struct Claim {
        std::uint32_t first = 0;
        std::string_view parent;
        std::string_view name; // empty for the root
        bool folder = false;
        std::uint64_t size = 0;
        std::optional<std::uint64_t> need; // clusters the size needs; none for a folder
    };

    bool isSet(std::uint32_t c) const {
        const std::unique_ptr<std::uint64_t[]>& page = pages_[c >> kPageShift];
        return page && ((page[(c >> 6) & (kPageWords - 1)] >> (c & 63)) & 1);
    }
    void set(std::uint32_t c) {
        std::unique_ptr<std::uint64_t[]>& page = pages_[c >> kPageShift];
        if (!page) page = std::make_unique<std::uint64_t[]>(kPageWords);
        page[(c >> 6) & (kPageWords - 1)] |= std::uint64_t(1) << (c & 63);
    }
    // Counts `c` (already claimed) as claimed twice; false when it was told already, or when
    // no more can be.
    bool tellShared(std::uint32_t c);
    void note(const Claim& claim, ChainProblem problem, std::uint64_t chainClusters,
              std::uint32_t cluster, std::uint64_t clusters = 0);
    void expectListing() { ++expected_; }
    bool validCluster(std::uint32_t c) const {
        return c >= 2 && std::uint64_t(c) <= std::uint64_t(clusterCount_) + 1;
    }
    // The cluster after `cluster` in its FAT chain; none at the chain's end or where the FAT
    // cannot be read.
    virtual std::optional<std::uint32_t> nextInChain(std::uint32_t cluster) = 0;
    // Whether `cluster` is among the first `length` clusters of the chain from `first`.
    bool inOwnChain(std::uint32_t first, std::uint64_t length, std::uint32_t cluster);
    // Counts as claimed twice `cluster` (already claimed) and the rest of its chain.
    void recordShared(std::uint32_t cluster);
    // A chain of `own` clusters so far reaching `c`, claimed before: a loop when `c` is its own,
    // else a cross-link counted with the rest of the chain.
    void noteClaimedBefore(const Claim& claim, std::uint64_t own, std::uint32_t c);
    // Claims `c` for the chain being followed, `own` its clusters so far.
    void take(const Claim& claim, std::uint64_t& own, std::uint32_t c) {
        set(c);
        ++own;
        if (claim.folder) folderClusters_.push_back(c);
    }

    std::uint32_t clusterCount_;
    std::uint32_t clusterBytes_;
    ClaimTally tally_;
    std::vector<std::uint32_t> folderClusters_; // whom a cluster claimed twice is taken from

private:
    // The bits in pages of 32,768 clusters, each made when a claim first reaches it: a walk that
    // claims a few regions of a large volume (a 2 TiB exFAT card of 4 KiB clusters holds 512
    // million) keeps only those.
    static constexpr unsigned kPageShift = 15;
    static constexpr std::size_t kPageWords = std::size_t(1) << (kPageShift - 6);
    std::vector<std::unique_ptr<std::uint64_t[]>> pages_;
    std::unordered_set<std::uint32_t> shared_;
    bool sharedOverflow_ = false;
    std::vector<ChainFinding> findings_;
    std::uint64_t findingsLeftOut_ = 0;
    std::uint64_t expected_ = 0;
    std::uint64_t listedWhole_ = 0;
    std::uint64_t unread_ = 0;
};

// The FAT12/16/32 ledger: chains followed in the FAT, as fsck.fat follows them.
class ClusterLedger final : public ClaimLedger {
public:
    explicit ClusterLedger(FatVolume& volume);

    // The root folder: its chain on FAT32; a listing to expect in any case.
    void claimRoot();
    // The entry `name` of the folder at `parent` (in the volume, ending with "/"), as the walk
    // delivers it. A folder's is false when its chain is not the folder's own (its first cluster
    // was claimed before, or is not the volume's): the listing of it must then claim nothing,
    // and is not expected.
    bool claimFolder(std::uint32_t firstCluster, std::string_view parent, std::string_view name);
    void claimFile(std::uint32_t firstCluster, std::uint64_t size, std::string_view parent,
                   std::string_view name);

    // Reads the whole FAT (the first call only: the chains of lost clusters are then marked in
    // the same bits, so no claim may follow).
    const ClusterCensus& census();

private:
    struct Followed {
        std::uint64_t own = 0;    // clusters claimed first by this chain, within its need
        std::uint64_t excess = 0; // beyond it
    };

    Followed follow(const Claim& claim);
    std::uint64_t claimExcess(std::uint32_t cluster, std::uint32_t value);
    std::optional<std::uint32_t> nextInChain(std::uint32_t cluster) override;
    ClusterCensus takeCensus();
    void markLostSuccessors(std::uint32_t cluster, std::uint32_t value, ClusterCensus& census,
                            std::vector<std::uint32_t>& cycleStarts);

    FatTable& fat_;
    Geometry geometry_;
    std::optional<ClusterCensus> census_;
};

} // namespace kesp::fat
