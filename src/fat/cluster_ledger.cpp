#include "fat/cluster_ledger.h"

#include <algorithm>

namespace kesp::fat {
namespace {

// Entries read at a time by the passes over the whole FAT.
constexpr std::uint32_t kCensusPiece = 64 * 1024;

} // namespace

ClaimLedger::ClaimLedger(std::uint32_t clusterCount, std::uint32_t clusterBytes)
    : clusterCount_(clusterCount), clusterBytes_(clusterBytes),
      pages_(((std::uint64_t(clusterCount) + 2) >> kPageShift) + 1) {}

void ClaimLedger::note(const Claim& claim, ChainProblem problem, std::uint64_t chainClusters,
                       std::uint32_t cluster, std::uint64_t clusters) {
    if (findings_.size() >= kFindingsKept) {
        ++findingsLeftOut_;
        return;
    }
    std::string path(claim.parent);
    path.append(claim.name);
    if (claim.folder && !claim.name.empty()) path.push_back('/');
    findings_.push_back(
        {problem, std::move(path), claim.folder, claim.size, chainClusters, clusters, cluster});
}

bool ClaimLedger::tellShared(std::uint32_t c) {
    if (shared_.count(c)) return false;
    if (shared_.size() >= kSharedTracked) {
        sharedOverflow_ = true;
        return false;
    }
    shared_.insert(c);
    return true;
}

bool ClaimLedger::inOwnChain(std::uint32_t first, std::uint64_t length, std::uint32_t cluster) {
    std::optional<std::uint32_t> at = first;
    for (std::uint64_t i = 0; at && i < length; ++i) {
        if (*at == cluster) return true;
        at = nextInChain(*at);
    }
    return false;
}

// From where two chains meet they are one: the rest of the first claimer's chain is claimed
// twice. Followed up to a cluster already told (the rest was told with it), which also ends a
// loop.
void ClaimLedger::recordShared(std::uint32_t cluster) {
    for (std::optional<std::uint32_t> at = cluster; at && validCluster(*at) && isSet(*at);
         at = nextInChain(*at))
        if (!tellShared(*at)) return;
}

void ClaimLedger::noteClaimedBefore(const Claim& claim, std::uint64_t own, std::uint32_t c) {
    if (inOwnChain(claim.first, own, c)) {
        note(claim, ChainProblem::Loop, own, c);
    } else {
        note(claim, ChainProblem::Shared, own, c);
        recordShared(c);
    }
}

void ClaimLedger::listingEnded(bool whole) {
    (whole ? listedWhole_ : unread_) += 1;
}

ClaimTally ClaimLedger::tally() {
    ClaimTally tally = tally_;
    if (shared_.empty()) return tally;
    std::sort(folderClusters_.begin(), folderClusters_.end());
    std::uint64_t ofFolders = 0;
    for (const std::uint32_t cluster : shared_)
        ofFolders += std::binary_search(folderClusters_.begin(), folderClusters_.end(), cluster);
    const std::uint64_t ofFiles = shared_.size() - ofFolders;
    tally.folderClusters -= ofFolders;
    tally.fileClusters -= ofFiles;
    // The data of the first claimer is what the cluster held; its slack stays its own.
    const std::uint64_t bytes = ofFiles * clusterBytes_;
    tally.fileBytes = tally.fileBytes > bytes ? tally.fileBytes - bytes : 0;
    tally.fileBytes = std::min(tally.fileBytes, tally.fileClusters * clusterBytes_);
    return tally;
}

ClusterLedger::ClusterLedger(FatVolume& volume)
    : ClaimLedger(volume.geometry().clusterCount, volume.geometry().clusterBytes),
      fat_(volume.fat()), geometry_(volume.geometry()) {}

// The order of the tests is fsck.fat's, so that both name the same problem for a chain: a free
// or bad cluster ends it first, then a size reached, then a cluster claimed before.
ClusterLedger::Followed ClusterLedger::follow(const Claim& claim) {
    Followed followed;
    std::uint32_t c = claim.first;
    for (;;) {
        const std::optional<std::uint32_t> value = fat_.entry(c);
        if (!value) {
            note(claim, ChainProblem::FatUnreadable, followed.own, c);
            break;
        }
        if (*value == 0) {
            note(claim, ChainProblem::IntoFree, followed.own, c);
            break;
        }
        if (fat_.badCluster(*value)) {
            note(claim, ChainProblem::IntoBad, followed.own, c);
            break;
        }
        if (claim.need && followed.own >= *claim.need) {
            followed.excess = claimExcess(c, *value);
            note(claim, ChainProblem::TooLong, followed.own, c, followed.excess);
            break;
        }
        if (isSet(c)) {
            noteClaimedBefore(claim, followed.own, c);
            break;
        }
        take(claim, followed.own, c);
        if (fat_.endOfChain(*value)) break;
        if (!geometry_.validCluster(*value)) {
            note(claim, ChainProblem::OutsideVolume, followed.own, *value);
            break;
        }
        c = *value;
    }
    return followed;
}

// The clusters past a file's size are its own still (fsck.fat frees them, it does not call them
// lost), up to one claimed already: a chain too long that runs into another is not shared.
std::uint64_t ClusterLedger::claimExcess(std::uint32_t cluster, std::uint32_t value) {
    std::uint64_t claimed = 0;
    for (;;) {
        if (isSet(cluster)) break;
        set(cluster);
        ++claimed;
        if (fat_.endOfChain(value) || !geometry_.validCluster(value)) break;
        cluster = value;
        const std::optional<std::uint32_t> next = fat_.entry(cluster);
        if (!next || *next == 0 || fat_.badCluster(*next)) break;
        value = *next;
    }
    return claimed;
}

std::optional<std::uint32_t> ClusterLedger::nextInChain(std::uint32_t cluster) {
    const std::optional<std::uint32_t> next = fat_.entry(cluster);
    if (!next || fat_.endOfChain(*next)) return std::nullopt;
    return next;
}

void ClusterLedger::claimRoot() {
    expectListing();
    ++tally_.folders;
    if (geometry_.type != FatType::Fat32) return;
    const Claim claim{geometry_.rootCluster, "/", {}, true, 0, std::nullopt};
    tally_.folderClusters += follow(claim).own;
}

bool ClusterLedger::claimFolder(std::uint32_t firstCluster, std::string_view parent,
                                std::string_view name) {
    const Claim claim{firstCluster, parent, name, true, 0, std::nullopt};
    if (!geometry_.validCluster(firstCluster)) {
        note(claim, ChainProblem::BadStart, 0, firstCluster);
        return false;
    }
    if (isSet(firstCluster)) {
        note(claim, ChainProblem::Shared, 0, firstCluster);
        recordShared(firstCluster);
        return false;
    }
    expectListing();
    ++tally_.folders;
    tally_.folderClusters += follow(claim).own;
    return true;
}

void ClusterLedger::claimFile(std::uint32_t firstCluster, std::uint64_t size,
                              std::string_view parent, std::string_view name) {
    const std::uint64_t cluster = geometry_.clusterBytes;
    const std::uint64_t need = size / cluster + (size % cluster != 0);
    const Claim claim{firstCluster, parent, name, false, size, need};
    ++tally_.files;
    Followed followed;
    if (firstCluster != 0 && !geometry_.validCluster(firstCluster))
        note(claim, ChainProblem::BadStart, 0, firstCluster);
    else if (firstCluster != 0)
        followed = follow(claim);
    if (followed.own < need) note(claim, ChainProblem::Truncated, followed.own, 0);
    tally_.fileClusters += followed.own + followed.excess;
    tally_.fileBytes += std::min(size, followed.own * cluster);
}

const ClusterCensus& ClusterLedger::census() {
    if (!census_) census_ = takeCensus();
    return *census_;
}

// A lost chain starts at a lost cluster that no lost cluster links to. Each lost cluster not
// marked yet marks the lost clusters after it, so that those left unmarked at the end are the
// starts; a chain that comes back to where the marking began is a loop, counted as the chain
// fsck.fat makes of it by cutting it there.
void ClusterLedger::markLostSuccessors(std::uint32_t cluster, std::uint32_t value,
                                       ClusterCensus& census,
                                       std::vector<std::uint32_t>& cycleStarts) {
    const std::uint32_t successor = value;
    std::uint32_t at = value;
    while (!fat_.endOfChain(value) && geometry_.validCluster(at)) {
        if (at == cluster) {
            // fsck.fat cuts the loop after `cluster`: the chain it salvages starts after it.
            set(cluster);
            ++census.lostChains;
            if (cycleStarts.size() < kLostListed) cycleStarts.push_back(successor);
            return;
        }
        if (isSet(at)) return; // claimed, or marked with the rest of its chain
        const std::optional<std::uint32_t> next = fat_.entry(at);
        if (!next || *next == 0 || fat_.badCluster(*next)) return;
        set(at);
        value = *next;
        at = value;
    }
}

ClusterCensus ClusterLedger::takeCensus() {
    ClusterCensus census;
    const std::uint64_t end = std::uint64_t(geometry_.clusterCount) + 2;
    std::vector<std::uint32_t> values(kCensusPiece);
    std::vector<bool> unreadPieces;
    // Visits every cluster of the pieces that could be read; true when all could.
    const auto eachCluster = [&](auto visit) {
        std::size_t piece = 0;
        for (std::uint64_t first = 2; first < end; first += kCensusPiece, ++piece) {
            const auto count =
                static_cast<std::size_t>(std::min<std::uint64_t>(kCensusPiece, end - first));
            const std::span<std::uint32_t> part(values.data(), count);
            const bool read = (piece >= unreadPieces.size() || !unreadPieces[piece]) &&
                              fat_.readEntries(static_cast<std::uint32_t>(first), part);
            if (piece >= unreadPieces.size()) {
                unreadPieces.push_back(!read);
                if (!read) census.uncounted += count;
            }
            if (!read) continue;
            for (std::size_t i = 0; i < count; ++i)
                visit(static_cast<std::uint32_t>(first + i), part[i]);
        }
    };
    const auto allocated = [this](std::uint32_t value) {
        return value != 0 && !fat_.badCluster(value);
    };

    eachCluster([&](std::uint32_t c, std::uint32_t value) {
        if (value == 0)
            ++census.free;
        else if (fat_.badCluster(value))
            ++census.bad;
        else if (!isSet(c))
            ++census.lost;
    });
    if (census.lost == 0) return census;

    std::vector<std::uint32_t> cycleStarts;
    eachCluster([&](std::uint32_t c, std::uint32_t value) {
        if (allocated(value) && !isSet(c)) markLostSuccessors(c, value, census, cycleStarts);
    });
    eachCluster([&](std::uint32_t c, std::uint32_t value) {
        if (!allocated(value) || isSet(c)) return;
        ++census.lostChains;
        if (census.lostStarts.size() < kLostListed) census.lostStarts.push_back(c);
    });
    census.lostStarts.insert(census.lostStarts.end(), cycleStarts.begin(), cycleStarts.end());
    std::sort(census.lostStarts.begin(), census.lostStarts.end());
    if (census.lostStarts.size() > kLostListed) census.lostStarts.resize(kLostListed);
    return census;
}

} // namespace kesp::fat
