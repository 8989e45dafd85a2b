#include "volume/opti_table.h"

#include <algorithm>
#include <cstdint>

#include "scan/masks.h"

namespace kesp {
namespace {

struct LigneOpti {
    const char* tailleFat;
    const char* tailleFat32; // nullptr: FAT only
    std::int32_t cluster;
    std::uint64_t EtatScan::*totalReel;
};

constexpr LigneOpti kLignes[] = {
    {"0    ->  128 Mo", nullptr, 2048, &EtatScan::TotalReel2048},
    {"129  ->  256 Mo", "0    ->    8 Go", 4096, &EtatScan::TotalReel4096},
    {"257  ->  512 Mo", "8    ->   16 Go", 8192, &EtatScan::TotalReel8192},
    {"513  -> 1024 Mo", "16   ->   32 Go", 16384, &EtatScan::TotalReel16384},
    {"1025 -> 2048 Mo", "32   ->  128 Go", 32768, &EtatScan::TotalReel32768},
};

std::string masque(std::uint64_t valeur) {
    return formatNumber(kMaskTable, valeur, NumberChars{});
}

// Real sizes never fall below the useful size in a scan; should they, the loss shows signed
// rather than wrapping round to twenty digits.
std::string perte(std::uint64_t reel, std::uint64_t utile) {
    return reel >= utile ? masque(reel - utile) : masque(utile - reel).insert(0, 1, '-');
}

} // namespace

TableOpti ConstruireTableOpti(const EtatScan& etat) {
    TableOpti table;
    table.cellules.push_back({"Taille de la partition", "Taille d'un Cluster", "Taille utile",
                              "Taille réelle", "Espace perdu"});
    const std::string utile = masque(etat.TotalUtile);
    for (const LigneOpti& ligne : kLignes) {
        if (etat.EstFat32 && ligne.tailleFat32 == nullptr) continue;
        const std::uint64_t reel = etat.*ligne.totalReel;
        table.cellules.push_back({etat.EstFat32 ? ligne.tailleFat32 : ligne.tailleFat,
                                  std::to_string(ligne.cluster), utile, masque(reel),
                                  perte(reel, etat.TotalUtile)});
        if (!table.ligneTrouvee && ligne.cluster == etat.TailleCluster)
            table.ligneTrouvee = static_cast<int>(table.cellules.size()) - 1;
    }
    const int derniere = static_cast<int>(table.cellules.size()) - 1;
    table.ligneCourante = table.ligneTrouvee.value_or(derniere);
    table.finSelection = table.ligneTrouvee.value_or(0);
    return table;
}

std::string TitreOpti(const EtatScan& etat) {
    return etat.TitreApplication + " - Optimisation des Clusters " +
           (etat.EstFat32 ? "FAT32" : "FAT");
}

std::vector<std::string> LignesTableOpti(const TableOpti& table) {
    std::vector<std::string> lignes;
    for (std::size_t i = 0; i < table.cellules.size(); ++i) {
        std::string ligne;
        for (const std::string& cellule : table.cellules[i]) {
            if (!ligne.empty()) ligne += '\t';
            ligne += cellule;
        }
        if (table.ligneTrouvee && static_cast<std::size_t>(*table.ligneTrouvee) == i)
            ligne += "\t*";
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}

} // namespace kesp
