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
    etat.realAt = {2048, 4096, 8192, 16384, 32768};
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
    etat.realAt[0] = 1'234'567'890'123;
    etat.realAt[1] = 123'456'789'012;
    const TableOpti table = ConstruireTableOpti(etat);
    EXPECT_EQ(table.cellules[1][2], "123 456 789 012");
    EXPECT_EQ(table.cellules[1][3], "1234 567 890 123");
    EXPECT_EQ(table.cellules[1][4], "1111 111 101 111");
    EXPECT_EQ(table.cellules[2][4], "0");
}

TEST(TableOpti, ARealTotalBelowTheUsefulSizeShowsANegativeLoss) {
    EtatScan etat;
    etat.TotalUtile = 5000;
    etat.realAt[2] = 8192; // the others were never set
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
