// The balance sheet made from a walk's facts: its rows and total, the findings in words, the table
// file's and the printed lines, the refusals, and what the window draws of it.
#include <gtest/gtest.h>

#include "plan/balance_sheet.h"
#include "plan/balance_window_model.h"

namespace kesp::plan {
namespace {

// A FAT16 volume of 5000 clusters of 2 KiB, three sectors past its last cluster.
fat::BalanceFacts fat16Facts() {
    fat::BalanceFacts f;
    fat::BalanceLayout& l = f.layout;
    l.fileSystem = "FAT16";
    l.reservedBytes = 512;
    l.fatBytes = 2 * 10240;
    l.fixedRootBytes = 16384;
    l.clusterBytes = 2048;
    l.clusterCount = 5000;
    l.clustersOffset = 512 + 2 * 10240 + 16384;
    l.volumeBytes = l.clustersOffset + 5000ull * 2048 + 1536;
    f.claims = {4, 7, 3, 10, 15000, 0};
    f.census.free = 4980;
    f.census.bad = 2;
    f.census.lost = 3;
    f.census.lostChains = 1;
    f.census.lostStarts = {4000};
    f.sharedClusters = 2;
    f.covered = true;
    return f;
}

TEST(BalanceSheet, EveryPartInItsPlaceAddingUpToTheVolume) {
    const BalanceSheet sheet = makeBalanceSheet(fat16Facts());
    const std::vector<std::tuple<std::string, std::optional<std::uint64_t>, std::uint64_t>>
        expected = {{"Secteurs réservés", std::nullopt, 512},
                    {"FAT", std::nullopt, 20480},
                    {"Répertoire racine fixe", std::nullopt, 16384},
                    {"Dossiers", 3, 3 * 2048},
                    {"Données des fichiers", std::nullopt, 15000},
                    {"Espace perdu", std::nullopt, 10 * 2048 - 15000},
                    {"Libre", 4980, 4980 * 2048},
                    {"Défectueux", 2, 2 * 2048},
                    {"Perdus", 3, 3 * 2048},
                    {"Partagés", 2, 2 * 2048},
                    {"Hors clusters", std::nullopt, 1536}};
    ASSERT_EQ(sheet.rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(sheet.rows[i].label, std::get<0>(expected[i]));
        EXPECT_EQ(sheet.rows[i].clusters, std::get<1>(expected[i])) << sheet.rows[i].label;
        EXPECT_EQ(sheet.rows[i].bytes, std::get<2>(expected[i])) << sheet.rows[i].label;
    }
    EXPECT_EQ(sheet.totalBytes, sheet.volumeBytes);
    EXPECT_EQ(sheet.gap, "");
    EXPECT_EQ(sheet.fileSystem, "FAT16");

    // FAT32 has no fixed root: the row is left out, not shown empty.
    fat::BalanceFacts f32 = fat16Facts();
    f32.layout.fileSystem = "FAT32";
    f32.layout.fixedRootBytes.reset();
    f32.layout.clustersOffset -= 16384;
    f32.layout.volumeBytes -= 16384;
    const BalanceSheet sheet32 = makeBalanceSheet(f32);
    EXPECT_EQ(sheet32.rows.size(), expected.size() - 1);
    EXPECT_EQ(sheet32.rows[2].label, "Dossiers");
    EXPECT_EQ(sheet32.totalBytes, sheet32.volumeBytes);

    // exFAT's bitmap and up-case table are clusters of their own, in a row of their own.
    fat::BalanceFacts ex = f32;
    ex.layout.fileSystem = "exFAT";
    ex.layout.exfat = true;
    ex.claims.systemClusters = 2;
    ex.census.free -= 2;
    const BalanceSheet sheetEx = makeBalanceSheet(ex);
    ASSERT_EQ(sheetEx.rows.size(), expected.size());
    EXPECT_EQ(sheetEx.rows[2].label, "Bitmap et table des majuscules");
    EXPECT_EQ(sheetEx.rows[2].clusters, 2u);
    EXPECT_EQ(sheetEx.totalBytes, sheetEx.volumeBytes);
}

TEST(BalanceSheet, SaysByHowMuchAndWhyWhenTheTotalMissesTheVolume) {
    fat::BalanceFacts f = fat16Facts();
    f.census.free -= 100;
    f.census.uncounted = 100;
    const BalanceSheet sheet = makeBalanceSheet(f);
    EXPECT_EQ(sheet.totalBytes + 100 * 2048, sheet.volumeBytes);
    EXPECT_EQ(sheet.gap, "Écart : le total n'atteint pas la taille du volume (" +
                             std::to_string(sheet.volumeBytes) +
                             " octets) de 204800 octets — l'allocation n'a pu être lue pour 100 "
                             "clusters, comptés nulle part");
    EXPECT_EQ(balanceTableLines(sheet)[13], sheet.gap) << "right after the total";
}

TEST(BalanceSheet, FindingsInWords) {
    using P = fat::ChainProblem;
    fat::BalanceFacts f = fat16Facts();
    f.fsInfoFree = 4980;
    EXPECT_EQ(makeBalanceSheet(f).findings.front().rfind("Chaînes perdues", 0), 0u)
        << "an FSInfo count that agrees says nothing";
    f.fsInfoFree = 5103;
    f.census.lostChains = 2;
    f.census.lostStarts = {4000, 4100};
    f.findings = {{P::TooLong, "/B.BIN", false, 1500, 1, 2, 7},
                  {P::TooLong, "/C.BIN", false, 10, 1, 0, 8},
                  {P::Truncated, "/DCIM/C.TXT", false, 5000, 1, 0, 0},
                  {P::Shared, "/D.BIN", false, 100, 2, 0, 9},
                  {P::Loop, "/E.BIN", false, 9000, 3, 0, 10},
                  {P::IntoFree, "/F/", true, 0, 1, 0, 11},
                  {P::IntoBad, "/G.BIN", false, 1, 0, 0, 12},
                  {P::OutsideVolume, "/H.BIN", false, 1, 1, 0, 99999},
                  {P::BadStart, "/I.BIN", false, 1, 0, 0, 88888},
                  {P::FatUnreadable, "/J.BIN", false, 1, 0, 0, 13}};
    f.findingsLeftOut = 4;
    f.sharedAllTold = false;
    EXPECT_EQ(
        makeBalanceSheet(f).findings,
        (std::vector<std::string>{
            "Libre selon FSInfo : 5103 clusters — la FAT en compte 4980",
            "Chaînes perdues : 2 (3 clusters, 6144 octets alloués sans appartenir à aucun fichier "
            "ni dossier), premiers clusters : 4000, 4100",
            "/B.BIN : chaîne de 3 clusters pour 1500 octets — 2 clusters en trop",
            "/C.BIN : chaîne plus longue que ses 10 octets ; la suite était déjà comptée ailleurs",
            "/DCIM/C.TXT : fichier tronqué — 5000 octets annoncés, sa chaîne n'en tient que 2048 "
            "(1 cluster)",
            "/D.BIN : clusters partagés avec un autre fichier ou dossier, à partir du cluster 9",
            "/E.BIN : chaîne de clusters en boucle, revenue au cluster 10 après 3 clusters",
            "/F/ : chaîne interrompue par un cluster libre (11)",
            "/G.BIN : chaîne menant au cluster défectueux 12",
            "/H.BIN : chaîne menant hors du volume (cluster 99999)",
            "/I.BIN : premier cluster hors du volume (88888)",
            "/J.BIN : table d'allocation illisible au cluster 13",
            "… et 4 autres problèmes de chaînes, non détaillés",
            "Clusters partagés : au-delà de 2, les suivants restent comptés avec le premier "
            "fichier ou dossier qui les occupe"}));

    // One chain, and more chains than are listed.
    f = fat16Facts();
    EXPECT_EQ(makeBalanceSheet(f).findings,
              (std::vector<std::string>{"Chaînes perdues : 1 (3 clusters, 6144 octets alloués "
                                        "sans appartenir à aucun fichier ni dossier), premier "
                                        "cluster : 4000"}));
    f.census.lostChains = 30;
    f.census.lostStarts = {10, 20};
    EXPECT_TRUE(
        makeBalanceSheet(f).findings.front().ends_with("premier cluster des 2 premières : 10, 20"));
}

TEST(BalanceSheet, TheTableFileAndThePrintedSheet) {
    fat::BalanceFacts f = fat16Facts();
    f.census.lost = 0;
    f.census.free += 3;
    const BalanceSheet sheet = makeBalanceSheet(f);
    const std::vector<std::string> table = balanceTableLines(sheet);
    ASSERT_EQ(table.size(), 13u) << "head, 11 rows, total; no finding";
    EXPECT_EQ(table[0], "Poste\tClusters\tOctets");
    EXPECT_EQ(table[1], "Secteurs réservés\t\t512");
    EXPECT_EQ(table[4], "Dossiers\t3\t6144");
    EXPECT_EQ(table[12], "Total\t5000\t" + std::to_string(sheet.volumeBytes));

    const std::vector<std::string> report = balanceReportLines(sheet);
    ASSERT_EQ(report.size(), 15u);
    EXPECT_EQ(report[0], "Bilan du volume (FAT16, clusters de 2048 octets)");
    // Labels to the left, figures to the right, accents counted as one character.
    EXPECT_EQ(report[1], "Poste                   Clusters  Octets");
    EXPECT_EQ(report[2], "Secteurs réservés                      512");
    EXPECT_EQ(report[5], "Dossiers                       3      6144");
    EXPECT_EQ(report[14], "Constats : aucun");
}

TEST(BalanceSheet, RefusedUnlessTheWalkCoveredTheVolume) {
    fat::BalanceFacts covered = fat16Facts();
    fat::BalanceFacts unread = covered;
    unread.covered = false;
    unread.foldersUnread = 2;
    fat::BalanceFacts partial = covered;
    partial.covered = false;
    const std::string head = "Bilan du volume impossible : ";
    const std::pair<BalanceRun, std::string> cases[] = {
        {{"", RunEnd::Completed, &covered}, ""},
        {{"x:/DCIM n'est pas la racine de son volume", RunEnd::Completed, &covered},
         head + "x:/DCIM n'est pas la racine de son volume."},
        {{"", RunEnd::Cancelled, &covered}, head + "l'analyse a été interrompue avant la fin."},
        {{"", RunEnd::VolumeLost, nullptr},
         head + "le volume a cessé de répondre pendant l'analyse."},
        {{"", RunEnd::Completed, nullptr},
         head + "l'analyse n'a pas parcouru le volume depuis sa racine."},
        {{"", RunEnd::Completed, &unread}, head + "2 dossiers n'ont pas pu être lus en entier."},
        {{"", RunEnd::Completed, &partial},
         head + "les sous-répertoires n'ont pas tous été parcourus."},
    };
    for (const auto& [run, message] : cases)
        EXPECT_EQ(balanceRefusal(run), message);
}

TEST(BalanceWindowModel, ABarCutInProportionAndTheNotes) {
    fat::BalanceFacts f = fat16Facts();
    f.census.uncounted = 1;
    f.census.free -= 1;
    // The window groups its figures as the user's locale does, here with a non-breaking space.
    const BalanceWindowModel model(makeBalanceSheet(f), "/cartes/sd.img [CARTE]", {"\u00a0", ","});
    const auto rows = model.tableRows();
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(rows[6], (std::array<std::string, 3>{"Libre", "4\u00a0979", "10\u00a0196\u00a0992"}));
    EXPECT_EQ(rows[10], (std::array<std::string, 3>{"Hors clusters", "", "1\u00a0536"}));
    EXPECT_EQ(rows[11][0], "Total");

    for (const int width : {0, 1, 97, 1000}) {
        const std::vector<int> widths = model.segmentWidths(width);
        ASSERT_EQ(widths.size(), 11u);
        int sum = 0;
        for (const int w : widths)
            sum += w;
        EXPECT_EQ(sum, width);
    }
    const std::vector<int> widths = model.segmentWidths(10000);
    const double total = double(model.sheet().totalBytes);
    for (std::size_t i = 0; i < widths.size(); ++i)
        EXPECT_NEAR(widths[i], 10000 * double(model.sheet().rows[i].bytes) / total, 1.0) << i;

    const auto notes = model.notes();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_TRUE(notes[0].starts_with("Écart : ")) << "the gap first";
    EXPECT_EQ(model.printLines().front(), "Volume : /cartes/sd.img [CARTE]");
    EXPECT_EQ(model.printLines()[1], "Bilan du volume (FAT16, clusters de 2048 octets)");
    EXPECT_EQ(model.printLines()[9], "Libre                      4\u00a0979  10\u00a0196\u00a0992");
}

} // namespace
} // namespace kesp::plan
