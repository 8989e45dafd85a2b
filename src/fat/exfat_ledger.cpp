#include "fat/exfat_ledger.h"

#include <algorithm>
#include <vector>

namespace kesp::fat {
namespace {

// Bytes of the bitmap read at a time.
constexpr std::uint64_t kBitmapPiece = 1024 * 1024;

} // namespace

ExfatLedger::ExfatLedger(ExfatVolume& volume)
    : ClaimLedger(volume.geometry().clusterCount, volume.geometry().clusterBytes), volume_(volume),
      fat_(volume.fat()), geometry_(volume.geometry()) {}

ExfatLedger::Followed ExfatLedger::follow(const Claim& claim, bool contiguous) {
    if (!geometry_.validCluster(claim.first)) {
        note(claim, ChainProblem::BadStart, 0, claim.first);
        return {};
    }
    return contiguous ? followRun(claim) : followChain(claim);
}

// A run's FAT entries mean nothing: its clusters are the ones that follow the first. A cluster
// of it claimed before is claimed twice; the rest of the run is still its own.
ExfatLedger::Followed ExfatLedger::followRun(const Claim& claim) {
    Followed followed;
    bool toldShared = false;
    for (std::uint64_t i = 0; i < *claim.need; ++i) {
        const std::uint64_t c = std::uint64_t(claim.first) + i;
        if (c > 0xFFFFFFFFu || !geometry_.validCluster(std::uint32_t(c))) {
            note(claim, ChainProblem::OutsideVolume, followed.own, std::uint32_t(c));
            break;
        }
        const auto cluster = std::uint32_t(c);
        if (isSet(cluster)) {
            if (!toldShared) note(claim, ChainProblem::Shared, followed.own, cluster);
            toldShared = true;
            tellShared(cluster);
            ++followed.shared;
            continue;
        }
        take(claim, followed.own, cluster);
    }
    return followed;
}

// As ClusterLedger::follow, with exFAT's FAT: no free mark (the bitmap says what is free), an
// end marker, a bad mark.
ExfatLedger::Followed ExfatLedger::followChain(const Claim& claim) {
    Followed followed;
    std::uint32_t c = claim.first;
    for (;;) {
        const std::optional<std::uint32_t> value = fat_.entry(c);
        if (!value) {
            note(claim, ChainProblem::FatUnreadable, followed.own, c);
            break;
        }
        if (*value == ExfatFat::kBad) {
            note(claim, ChainProblem::IntoBad, followed.own, c);
            break;
        }
        if (claim.need && followed.own >= *claim.need) {
            followed.excess = claimExcess(c);
            note(claim, ChainProblem::TooLong, followed.own, c, followed.excess);
            break;
        }
        if (isSet(c)) {
            noteClaimedBefore(claim, followed.own, c);
            break;
        }
        take(claim, followed.own, c);
        if (*value == ExfatFat::kEnd) break;
        if (!geometry_.validCluster(*value)) {
            note(claim, ChainProblem::OutsideVolume, followed.own, *value);
            break;
        }
        c = *value;
    }
    return followed;
}

std::uint64_t ExfatLedger::claimExcess(std::uint32_t cluster) {
    std::uint64_t claimed = 0;
    while (geometry_.validCluster(cluster) && !isSet(cluster)) {
        const std::optional<std::uint32_t> value = fat_.entry(cluster);
        if (!value || *value == ExfatFat::kBad) break;
        set(cluster);
        ++claimed;
        if (*value == ExfatFat::kEnd) break;
        cluster = *value;
    }
    return claimed;
}

std::optional<std::uint32_t> ExfatLedger::nextInChain(std::uint32_t cluster) {
    const std::optional<std::uint32_t> next = fat_.entry(cluster);
    if (!next || *next == ExfatFat::kEnd) return std::nullopt;
    return next;
}

void ExfatLedger::claimSystem(const std::optional<ExfatExtent>& extent, std::string_view name) {
    if (!extent) return;
    const std::uint64_t need = (extent->bytes + clusterBytes_ - 1) / clusterBytes_;
    const Claim claim{extent->firstCluster, {}, name, false, extent->bytes, need};
    const Followed followed = follow(claim, false);
    tally_.systemClusters += followed.own + followed.excess;
}

void ExfatLedger::claimRoot() {
    expectListing();
    ++tally_.folders;
    const ExfatRootFacts& facts = volume_.rootFacts();
    claimSystem(facts.bitmaps[0], "[bitmap d'allocation]");
    claimSystem(facts.bitmaps[1], "[second bitmap d'allocation]");
    claimSystem(facts.upcase, "[table des majuscules]");
    // The root has no length: its chain to its end marker is its size.
    const Claim root{geometry_.rootCluster, "/", {}, true, 0, std::nullopt};
    tally_.folderClusters += follow(root, false).own;
}

bool ExfatLedger::claimFolder(std::uint32_t firstCluster, std::uint64_t length, bool contiguous,
                              std::string_view parent, std::string_view name) {
    const std::uint64_t need = (length + clusterBytes_ - 1) / clusterBytes_;
    const Claim claim{firstCluster, parent, name, true, length, need};
    if (firstCluster == 0 && need == 0) {
        expectListing();
        ++tally_.folders;
        return true;
    }
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
    const Followed followed = follow(claim, contiguous);
    tally_.folderClusters += followed.own + followed.excess;
    if (followed.own + followed.shared < need)
        note(claim, ChainProblem::Truncated, followed.own, 0);
    return true;
}

void ExfatLedger::claimFile(std::uint32_t firstCluster, std::uint64_t length, bool contiguous,
                            std::string_view parent, std::string_view name) {
    const std::uint64_t need = (length + clusterBytes_ - 1) / clusterBytes_;
    const Claim claim{firstCluster, parent, name, false, length, need};
    ++tally_.files;
    // An empty file holds no cluster, whatever its first cluster says.
    if (need == 0) return;
    Followed followed;
    if (firstCluster != 0) followed = follow(claim, contiguous);
    if (followed.own + followed.shared < need)
        note(claim, ChainProblem::Truncated, followed.own, 0);
    tally_.fileClusters += followed.own + followed.excess;
    tally_.fileBytes += std::min(length, followed.own * clusterBytes_);
}

const ClusterCensus& ExfatLedger::census() {
    if (!census_) census_ = takeCensus();
    return *census_;
}

// One pass over the bitmap in use: free, claimed, or allocated and claimed by nothing (lost,
// unless the FAT marks it bad). Lost clusters are told in runs: exFAT allocates in runs.
ClusterCensus ExfatLedger::takeCensus() {
    ClusterCensus census;
    const std::uint64_t clusters = geometry_.clusterCount;
    const auto& bitmap = volume_.rootFacts().bitmaps[volume_.boot().activeFat()];
    const std::uint64_t needed = (clusters + 7) / 8;
    std::uint64_t counted = 0; // clusters whose bit was read
    bool previousLost = false;
    const auto visit = [&](std::uint32_t c, bool allocated) {
        bool lost = false;
        if (isSet(c)) {
            census.claimedFree += !allocated;
        } else if (!allocated) {
            ++census.free;
        } else if (fat_.entry(c) == ExfatFat::kBad) {
            ++census.bad;
        } else {
            lost = true;
            ++census.lost;
            if (!previousLost) {
                ++census.lostChains;
                if (census.lostStarts.size() < kLostListed) census.lostStarts.push_back(c);
            }
        }
        previousLost = lost;
    };
    if (bitmap && bitmap->bytes >= needed) {
        const std::uint64_t length = (needed + clusterBytes_ - 1) / clusterBytes_;
        ClusterChain chain(fat_, geometry_, bitmap->firstCluster, length, false, length);
        std::vector<std::uint8_t> piece(
            static_cast<std::size_t>(std::min<std::uint64_t>(kBitmapPiece, clusterBytes_)));
        std::uint64_t bytes = 0; // of the bitmap read
        while (const auto cluster = chain.next()) {
            const std::uint64_t start = geometry_.clusterOffset(*cluster);
            bool read = true;
            for (std::uint64_t done = 0; read && done < clusterBytes_ && bytes < needed;) {
                const auto size = static_cast<std::size_t>(
                    std::min<std::uint64_t>({piece.size(), clusterBytes_ - done, needed - bytes}));
                const auto part = std::span(piece).first(size);
                read = volume_.reader().read(start + done, part);
                for (std::size_t i = 0; read && i < size; ++i)
                    for (unsigned bit = 0; bit < 8 && counted < clusters; ++bit, ++counted)
                        visit(static_cast<std::uint32_t>(counted + 2), (part[i] >> bit) & 1);
                done += size;
                bytes += size;
            }
            if (!read) break;
        }
    }
    census.uncounted = clusters - counted;
    return census;
}

} // namespace kesp::fat
