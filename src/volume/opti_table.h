#pragma once
// The optimisation table as plain data: what the last scan's files would occupy and lose with
// every cluster size the volume's file system uses, and which row is today's situation.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "scan/scan_state.h"

namespace kesp {

inline constexpr int kOptiColonnes = 5;
inline constexpr int kOptiLargeurColonneTwips = 1500;
inline constexpr int kTwipsParPixel = 15;

struct TableOpti {
    // cellules[ligne][colonne]; row 0 holds the titles, column 0 the partition-size ranges.
    std::vector<std::vector<std::string>> cellules;
    // The row whose cluster size is TailleCluster, when one is.
    std::optional<int> ligneTrouvee;
    // The grid's selection: from ligneCourante to finSelection, columns 0 to 4. Without a match
    // the current row stays on the last row and the selection reaches up to the title row.
    int ligneCourante = 0;
    int finSelection = 0;

    int premiereLigneSelectionnee() const { return std::min(ligneCourante, finSelection); }
    int derniereLigneSelectionnee() const { return std::max(ligneCourante, finSelection); }
};

// 6 rows on FAT (2048 to 32768), 5 on FAT32 (4096 to 32768), 9 on exFAT (4096 to 1048576),
// figures through "### ### ### ##0" with no leading blanks.
TableOpti ConstruireTableOpti(const EtatScan& etat);

// The window's title: the program's, then which table it shows ("… - Optimisation des Clusters
// FAT32").
std::string TitreOpti(const std::string& titreApplication, const EtatScan& etat);

// The table as text lines, the titles first: cells as the grid shows them, separated by TAB; the
// row that matches the current cluster size ends with TAB and "*".
std::vector<std::string> LignesTableOpti(const TableOpti& table);

} // namespace kesp
