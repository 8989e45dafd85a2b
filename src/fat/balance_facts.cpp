#include "fat/balance_facts.h"

#include "fat/fs_info.h"

namespace kesp::fat {
namespace {

// What every ledger tells alike; the census only of a walk that covered the volume.
template <typename Ledger> BalanceFacts gather(Ledger& ledger, BalanceLayout layout) {
    BalanceFacts facts;
    facts.layout = std::move(layout);
    facts.covered = ledger.covered();
    facts.foldersUnread = ledger.foldersUnread();
    // A walk that left folders out gives no sheet: its claims are not worth reading for.
    if (!facts.covered) return facts;
    facts.census = ledger.census();
    facts.claims = ledger.tally();
    facts.sharedClusters = ledger.sharedClusters();
    facts.sharedAllTold = ledger.sharedAllTold();
    facts.findings = ledger.findings();
    facts.findingsLeftOut = ledger.findingsLeftOut();
    return facts;
}

} // namespace

BalanceLayout balanceLayout(const Geometry& g) {
    BalanceLayout layout;
    layout.fileSystem = g.type == FatType::Fat12   ? "FAT12"
                        : g.type == FatType::Fat16 ? "FAT16"
                                                   : "FAT32";
    layout.reservedBytes = g.fatOffset;
    layout.fatBytes = g.rootOffset - g.fatOffset;
    if (g.type != FatType::Fat32) layout.fixedRootBytes = g.dataOffset - g.rootOffset;
    layout.clusterBytes = g.clusterBytes;
    layout.clusterCount = g.clusterCount;
    layout.clustersOffset = g.dataOffset;
    layout.volumeBytes = g.volumeBytes;
    return layout;
}

BalanceLayout balanceLayout(const ExfatBootSector& boot) {
    const std::uint64_t sector = boot.bytesPerSector();
    BalanceLayout layout;
    layout.fileSystem = "exFAT";
    layout.exfat = true;
    layout.fatBytes = std::uint64_t(boot.fatLength) * boot.fatCount * sector;
    // The parser keeps the FATs between their offset and the heap.
    layout.reservedBytes = std::uint64_t(boot.clusterHeapOffset) * sector - layout.fatBytes;
    layout.clusterBytes = boot.clusterBytes();
    layout.clusterCount = boot.clusterCount;
    layout.clustersOffset = std::uint64_t(boot.clusterHeapOffset) * sector;
    layout.volumeBytes = boot.volumeLength * sector;
    return layout;
}

BalanceFacts balanceFacts(FatVolume& volume, ClusterLedger& ledger) {
    BalanceFacts facts = gather(ledger, balanceLayout(volume.geometry()));
    if (facts.covered) facts.fsInfoFree = fsInfoFreeCount(volume.reader(), volume.boot());
    return facts;
}

BalanceFacts balanceFacts(ExfatVolume& volume, ExfatLedger& ledger) {
    return gather(ledger, balanceLayout(volume.boot()));
}

} // namespace kesp::fat
