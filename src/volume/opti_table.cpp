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
    std::int32_t cluster;
};

constexpr LigneOpti kLignes[] = {
    {"0    ->  128 Mo", nullptr, 2048},
    {"129  ->  256 Mo", "0    ->    8 Go", 4096},
    {"257  ->  512 Mo", "8    ->   16 Go", 8192},
    {"513  -> 1024 Mo", "16   ->   32 Go", 16384},
    {"1025 -> 2048 Mo", "32   ->  128 Go", 32768},
};

// exFAT: the volume sizes where a formatter picks the size (Windows and mkfs.exfat up to 32 Go
// and Windows above; the SD Association for cards over 128 Go); none picks the others.
struct LigneExfat {
    const char* taille;
    std::int32_t cluster;
};

constexpr LigneExfat kLignesExfat[] = {
    {"7 Mo -> 256 Mo", 4096},
    {"", 8192},
    {"", 16384},
    {"256 Mo -> 32 Go", 32768},
    {"", 65536},
    {"32 Go -> 256 To", 131072},
    {"SD 128 -> 512 Go", 262144},
    {"SD 512 Go -> 2 To", 524288},
    {"", 1048576},
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
    const auto ajouter = [&](const char* taille, std::int32_t cluster) {
        const std::uint64_t reel = etat.TotalReelDe(static_cast<std::uint32_t>(cluster));
        table.cellules.push_back(
            {taille, std::to_string(cluster), utile, masque(reel), perte(reel, etat.TotalUtile)});
        if (!table.ligneTrouvee && cluster == etat.TailleCluster)
            table.ligneTrouvee = static_cast<int>(table.cellules.size()) - 1;
    };
    if (etat.EstExfat) {
        for (const LigneExfat& ligne : kLignesExfat)
            ajouter(ligne.taille, ligne.cluster);
    } else {
        for (const LigneOpti& ligne : kLignes) {
            if (etat.EstFat32 && ligne.tailleFat32 == nullptr) continue;
            ajouter(etat.EstFat32 ? ligne.tailleFat32 : ligne.tailleFat, ligne.cluster);
        }
    }
    const int derniere = static_cast<int>(table.cellules.size()) - 1;
    table.ligneCourante = table.ligneTrouvee.value_or(derniere);
    table.finSelection = table.ligneTrouvee.value_or(0);
    return table;
}

std::string TitreOpti(const std::string& titreApplication, const EtatScan& etat) {
    return titreApplication + " - Optimisation des Clusters " +
           (etat.EstExfat   ? "exFAT"
            : etat.EstFat32 ? "FAT32"
                            : "FAT");
}

std::vector<std::string> LignesTableOpti(const TableOpti& table) {
    std::vector<std::string> lignes;
    for (std::size_t i = 0; i < table.cellules.size(); ++i) {
        std::string ligne;
        for (std::size_t c = 0; c < table.cellules[i].size(); ++c) {
            if (c > 0) ligne += '\t';
            ligne += table.cellules[i][c];
        }
        if (table.ligneTrouvee && static_cast<std::size_t>(*table.ligneTrouvee) == i)
            ligne += "\t*";
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}

} // namespace kesp
