#include "volume/opti_table.h"

#include <algorithm>
#include <cstdint>

#include "scan/masks.h"

namespace kesp {
namespace {

// The partition sizes of each what-if cluster size, in the order of kWhatIfSizes.
struct LigneOpti {
    const char* tailleFat;
    const char* tailleFat32; // nullptr: FAT only
};

constexpr LigneOpti kLignes[kWhatIfSizes.size()] = {
    {"0    ->  128 Mo", nullptr},           {"129  ->  256 Mo", "0    ->    8 Go"},
    {"257  ->  512 Mo", "8    ->   16 Go"}, {"513  -> 1024 Mo", "16   ->   32 Go"},
    {"1025 -> 2048 Mo", "32   ->  128 Go"},
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
    for (std::size_t i = 0; i < kWhatIfSizes.size(); ++i) {
        const LigneOpti& ligne = kLignes[i];
        if (etat.EstFat32 && ligne.tailleFat32 == nullptr) continue;
        const std::uint32_t cluster = kWhatIfSizes[i];
        const std::uint64_t reel = etat.realAt[i];
        table.cellules.push_back({etat.EstFat32 ? ligne.tailleFat32 : ligne.tailleFat,
                                  std::to_string(cluster), utile, masque(reel),
                                  perte(reel, etat.TotalUtile)});
        if (!table.ligneTrouvee && std::int64_t(cluster) == etat.TailleCluster)
            table.ligneTrouvee = static_cast<int>(table.cellules.size()) - 1;
    }
    const int derniere = static_cast<int>(table.cellules.size()) - 1;
    table.ligneCourante = table.ligneTrouvee.value_or(derniere);
    table.finSelection = table.ligneTrouvee.value_or(0);
    return table;
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
