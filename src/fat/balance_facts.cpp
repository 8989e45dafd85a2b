#include "fat/balance_facts.h"

#include "fat/fs_info.h"

namespace kesp::fat {

BalanceFacts balanceFacts(FatVolume& volume, ClusterLedger& ledger) {
    BalanceFacts facts;
    facts.boot = volume.boot();
    facts.geometry = volume.geometry();
    facts.covered = ledger.covered();
    facts.foldersUnread = ledger.foldersUnread();
    // A walk that left folders out gives no sheet: its claims are not worth reading the FAT for.
    if (!facts.covered) return facts;
    facts.fsInfoFree = fsInfoFreeCount(volume.reader(), volume.boot());
    facts.census = ledger.census();
    facts.claims = ledger.tally();
    facts.sharedClusters = ledger.sharedClusters();
    facts.sharedAllTold = ledger.sharedAllTold();
    facts.findings = ledger.findings();
    facts.findingsLeftOut = ledger.findingsLeftOut();
    return facts;
}

} // namespace kesp::fat
