#pragma once
// The shared scan state: one record owned by the main window (or by kesp-scan), read and written
// by the run, the listing, the cluster-size gate and the optimisation table.
#include <array>
#include <cstdint>
#include <string>

#include "scan/run_outcome.h"
#include "scan/tree_tally.h"

namespace kesp {

struct EtatScan {
    // Bytes per cluster of the selected drive; written only by a successful free-space query.
    std::int32_t TailleCluster = 0;
    bool PartitionFat = false; // "FAT", "FAT32" or "exFAT": optimisation offered after a scan
    bool EstFat32 = false;     // not cleared by a refused file system
    bool EstExfat = false;     // the same for "exFAT", whose table and folders are its own

    // Counts and byte sums: exact 64-bit integers.
    std::uint64_t NbRepertoires = 0;
    std::uint64_t NbFichiers = 0;
    std::uint64_t UtileRepertoire = 0;
    std::uint64_t ReelRepertoire = 0;
    std::uint64_t TotalUtile = 0;
    std::uint64_t TotalReel = 0;
    // What the files and folders would occupy at each cluster size, by kClusterSizes.
    std::array<std::uint64_t, kClusterSizes.size()> TotalReelParCluster{};
    std::uint64_t& TotalReelDe(std::uint32_t cluster) {
        return TotalReelParCluster[clusterSizeIndex(cluster)];
    }
    std::uint64_t TotalReelDe(std::uint32_t cluster) const {
        return TotalReelParCluster[clusterSizeIndex(cluster)];
    }
    std::uint64_t PerteCumulee = 0;
    // What the format plan needs of the tree, gathered by the same walk.
    TreeTally Tally;

    bool DemandeAnnulation = false;
    std::int32_t PeriodeRafraichissement = 1000; // ms
    std::uint32_t DernierRafraichissement = 0;   // tick of the last status refresh

    std::string FormatNombre = "#,###,###,##0";
    std::uint64_t TailleDisqueMo = 0;
    std::string Separateur;
    std::string CheminRes1;
    std::string CheminRes2;

    // Per-file detail lines in the report; off unless a front end turns it on.
    bool ListeDetaillee = false;
    std::string EnteteDetail = "    Nom du fichier      Octets perdus  Taille utile du fichier";
};

// The figures of a run, where the optimisation table and the status panels read them.
inline void keepTotals(EtatScan& etat, const ScanTotals& totals) {
    etat.NbRepertoires = totals.folders;
    etat.NbFichiers = totals.files;
    etat.TotalUtile = totals.useful;
    etat.TotalReel = totals.real;
    etat.PerteCumulee = totals.slack;
    etat.TotalReelParCluster = totals.realAt;
    etat.Tally = totals.tally;
}

} // namespace kesp
