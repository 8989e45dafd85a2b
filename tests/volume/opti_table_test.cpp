#include <gtest/gtest.h>

#include "volume/opti_table.h"

namespace kesp {
namespace {

using Ligne = std::vector<std::string>;

// The totals a scan of one 1-byte file in a folder without sub-folders leaves.
EtatScan unFichierDUnOctet(bool fat32, std::int32_t cluster) {
    EtatScan etat;
    etat.EstFat32 = fat32;
    etat.TailleCluster = cluster;
    etat.TotalUtile = 1;
    etat.TotalReelDe(2048) = 2048;
    etat.TotalReelDe(4096) = 4096;
    etat.TotalReelDe(8192) = 8192;
    etat.TotalReelDe(16384) = 16384;
    etat.TotalReelDe(32768) = 32768;
    return etat;
}

TEST(TableOpti, FatOneByteFileGivesEveryRowAndSelectsTheCurrentCluster) {
    const TableOpti table = ConstruireTableOpti(unFichierDUnOctet(false, 4096));
    const std::vector<Ligne> attendu = {
        {"Taille de la partition", "Taille d'un Cluster", "Taille utile", "Taille réelle",
         "Espace perdu"},
        {"0    ->  128 Mo", "2048", "1", "2 048", "2 047"},
        {"129  ->  256 Mo", "4096", "1", "4 096", "4 095"},
        {"257  ->  512 Mo", "8192", "1", "8 192", "8 191"},
        {"513  -> 1024 Mo", "16384", "1", "16 384", "16 383"},
        {"1025 -> 2048 Mo", "32768", "1", "32 768", "32 767"},
    };
    EXPECT_EQ(table.cellules, attendu);
    EXPECT_EQ(table.ligneTrouvee, 2);
    EXPECT_EQ(table.ligneCourante, 2);
    EXPECT_EQ(table.finSelection, 2);
}

TEST(TableOpti, Fat32HasNo2048RowAndItsOwnRanges) {
    const TableOpti table = ConstruireTableOpti(unFichierDUnOctet(true, 32768));
    ASSERT_EQ(table.cellules.size(), 5u);
    EXPECT_EQ(table.cellules[1], (Ligne{"0    ->    8 Go", "4096", "1", "4 096", "4 095"}));
    EXPECT_EQ(table.cellules[2][0], "8    ->   16 Go");
    EXPECT_EQ(table.cellules[3][0], "16   ->   32 Go");
    EXPECT_EQ(table.cellules[4], (Ligne{"32   ->  128 Go", "32768", "1", "32 768", "32 767"}));
    EXPECT_EQ(table.ligneTrouvee, 4);
    EXPECT_EQ(table.premiereLigneSelectionnee(), 4);
    EXPECT_EQ(table.derniereLigneSelectionnee(), 4);
}

// exFAT: its own nine rows, 4 KiB to 1 MiB, whatever EstFat32 still says; the sizes no
// formatter picks have no range, and their line still has its five cells.
TEST(TableOpti, ExfatHasItsOwnRowsFrom4KiBTo1MiB) {
    EtatScan etat;
    etat.EstExfat = true;
    etat.EstFat32 = true;
    etat.TailleCluster = 131072;
    etat.TotalUtile = 1;
    for (std::uint32_t k = 512; k <= (32u << 20); k *= 2)
        etat.TotalReelDe(k) = k;
    const TableOpti table = ConstruireTableOpti(etat);
    ASSERT_EQ(table.cellules.size(), 10u);
    EXPECT_EQ(table.cellules[1], (Ligne{"7 Mo -> 256 Mo", "4096", "1", "4 096", "4 095"}));
    EXPECT_EQ(table.cellules[2], (Ligne{"", "8192", "1", "8 192", "8 191"}));
    EXPECT_EQ(table.cellules[4][0], "256 Mo -> 32 Go");
    EXPECT_EQ(table.cellules[6][0], "32 Go -> 256 To");
    EXPECT_EQ(table.cellules[7][0], "SD 128 -> 512 Go");
    EXPECT_EQ(table.cellules[8][0], "SD 512 Go -> 2 To");
    EXPECT_EQ(table.cellules[9], (Ligne{"", "1048576", "1", "1 048 576", "1 048 575"}));
    EXPECT_EQ(table.ligneTrouvee, 6);
    const auto lignes = LignesTableOpti(table);
    EXPECT_EQ(lignes[2], "\t8192\t1\t8 192\t8 191");
    EXPECT_EQ(lignes[6], "32 Go -> 256 To\t131072\t1\t131 072\t131 071\t*");

    etat.TailleCluster = 2048; // not an exFAT row: the whole grid selected
    EXPECT_EQ(ConstruireTableOpti(etat).ligneCourante, 9);
    EXPECT_EQ(ConstruireTableOpti(etat).finSelection, 0);
}

TEST(TableOpti, ZeroTotalsShowASingleZero) {
    EtatScan etat;
    etat.TailleCluster = 2048;
    const TableOpti table = ConstruireTableOpti(etat);
    ASSERT_EQ(table.cellules.size(), 6u);
    for (std::size_t ligne = 1; ligne < table.cellules.size(); ++ligne)
        for (int colonne = 2; colonne < kOptiColonnes; ++colonne)
            EXPECT_EQ(table.cellules[ligne][colonne], "0") << ligne << "," << colonne;
    EXPECT_EQ(table.ligneTrouvee, 1);
}

TEST(TableOpti, LargeTotalsFillTwelvePositionsAndKeepExtraDigitsInFront) {
    EtatScan etat;
    etat.TotalUtile = 123'456'789'012;
    etat.TotalReelDe(2048) = 1'234'567'890'123;
    etat.TotalReelDe(4096) = 123'456'789'012;
    const TableOpti table = ConstruireTableOpti(etat);
    EXPECT_EQ(table.cellules[1][2], "123 456 789 012");
    EXPECT_EQ(table.cellules[1][3], "1234 567 890 123");
    EXPECT_EQ(table.cellules[1][4], "1111 111 101 111");
    EXPECT_EQ(table.cellules[2][4], "0");
}

TEST(TableOpti, ARealTotalBelowTheUsefulSizeShowsANegativeLoss) {
    EtatScan etat;
    etat.TotalUtile = 5000;
    etat.TotalReelDe(8192) = 8192; // the others were never set
    const TableOpti table = ConstruireTableOpti(etat);
    EXPECT_EQ(table.cellules[1][4], "-5 000");
    EXPECT_EQ(table.cellules[3][4], "3 192");
}

TEST(TableOpti, AClusterNotInTheTableSelectsFromTheTitleRowToTheLastRow) {
    for (const auto& [fat32, cluster] : std::vector<std::pair<bool, std::int32_t>>{
             {false, 512}, {false, 1024}, {true, 2048}, {false, 65536}, {true, 0}}) {
        const TableOpti table = ConstruireTableOpti(unFichierDUnOctet(fat32, cluster));
        const int derniere = fat32 ? 4 : 5;
        EXPECT_FALSE(table.ligneTrouvee) << cluster;
        EXPECT_EQ(table.ligneCourante, derniere) << cluster;
        EXPECT_EQ(table.finSelection, 0) << cluster;
        EXPECT_EQ(table.premiereLigneSelectionnee(), 0);
        EXPECT_EQ(table.derniereLigneSelectionnee(), derniere);
        for (const std::string& ligne : LignesTableOpti(table))
            EXPECT_EQ(ligne.find('*'), std::string::npos) << ligne;
    }
}

TEST(LignesTableOpti, TabSeparatedCellsWithTheMatchingRowStarred) {
    const std::vector<std::string> attendu = {
        "Taille de la partition\tTaille d'un Cluster\tTaille utile\tTaille réelle\tEspace perdu",
        "0    ->    8 Go\t4096\t1\t4 096\t4 095", "8    ->   16 Go\t8192\t1\t8 192\t8 191\t*",
        "16   ->   32 Go\t16384\t1\t16 384\t16 383", "32   ->  128 Go\t32768\t1\t32 768\t32 767"};
    EXPECT_EQ(LignesTableOpti(ConstruireTableOpti(unFichierDUnOctet(true, 8192))), attendu);
}

} // namespace
} // namespace kesp
