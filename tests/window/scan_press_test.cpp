// The press of OK and the run: the exact order of window operations and file lines, the end of
// the run, refused runs and result files that cannot be written.
#include "run_fixture.h"

namespace kesp::test {
namespace {

class ScanRun : public RunFixture {
protected:
    void smallTree() {
        tree.file(kRoot, "a", 1);
        const std::string sub = tree.folder(kRoot, "sub");
        tree.file(sub, "b", 8192);
    }
};

const std::vector<std::string> kLock = {
    "setOkCaption(&Annuler)",    "setDriveEnabled(0)",
    "setToolButtonEnabled(1,0)", "setMenuEnabled(Enregistrer,0)",
    "setToolButtonEnabled(2,0)", "setMenuEnabled(Imprimer,0)",
    "setToolButtonEnabled(4,0)", "setMenuEnabled(optimiser,0)",
    "setFolderEnabled(0)",       "setBusy(1)"};

std::vector<std::string> unlock(bool fat) {
    const std::string f = fat ? "1)" : "0)";
    return {"setOkEnabled(1)",
            "setDriveEnabled(1)",
            "setToolButtonEnabled(1,1)",
            "setMenuEnabled(Enregistrer,1)",
            "setToolButtonEnabled(2,1)",
            "setMenuEnabled(Imprimer,1)",
            "setToolButtonEnabled(4," + f,
            "setMenuEnabled(optimiser," + f,
            "setFolderEnabled(1)",
            "setBusy(0)",
            "setOkCaption(&Démarrer)"};
}

TEST_F(ScanRun, CompleteRunCallsTheWindowInOrder) {
    smallTree();
    press();
    const std::vector<std::string> expected = concat({
        {"closeOpti", "setOkEnabled(0)", "pump"},
        kLock,
        {"clearList1",
         "clearList3",
         "appendList3(/mnt/f 1,907 Mo)",
         "appendList3(Veuillez patienter !)",
         "appendList3(traitement en cours...)",
         "setStatusPanel(1,)",
         "setStatusPanel(2,)",
         "setStatusPanel(3,)",
         "setOkEnabled(1)",
         "pump",
         "appendList1(" + std::string(kRoot) + ")",
         "appendList1( Taille utile     :             1 octets)",
         "appendList1( Taille réelle    :         8 192 octets)",
         "appendList1(     Espace perdu :         8 191 octets)",
         "setTitle(Kesp - " + std::string(kRoot) + "sub" + kSep + ")",
         "appendList1(" + std::string(kRoot) + "sub" + kSep + ")",
         "appendList1( Taille utile     :         8 192 octets)",
         "appendList1( Taille réelle    :         8 192 octets)",
         "appendList1(     Espace perdu :             0 octets)",
         "setTitle(Kesp)",
         "clearList3",
         "appendList3(/mnt/f 1,907 Mo)",
         "appendList3(Recherche sur " + std::string(kFolder) + ")",
         "appendList3( Taille totale utile  : 8,193 octets)",
         "setStatusPanel(1,1 répertoire)",
         "setStatusPanel(2,2 fichiers)",
         "setStatusPanel(3,0.01 Mo perdus)",
         "appendList3( Taille totale réelle : 16,384 octets)",
         "appendList3(     Espace perdu     : 8,191 octets)",
         "pump"},
        unlock(true),
    });
    EXPECT_EQ(view.calls, expected);
    EXPECT_EQ(tree.walks, (std::vector<std::string>{kRoot, "end"}));
}

TEST_F(ScanRun, CompleteRunWritesBothFiles) {
    smallTree();
    press();
    const std::vector<std::string> expectedReport = concat({
        {"/mnt/f 1,907 Mo", std::string("liste de ") + kFolder, " "},
        block(kRoot, "            1", "        8 192", "        8 191"),
        {" "},
        block(std::string(kRoot) + "sub" + kSep, "        8 192", "        8 192", "            0"),
        {" ", " Taille totale utile  : 8,193 octets", " Taille totale réelle : 16,384 octets",
         "     Espace perdu     : 8,191 octets"},
    });
    EXPECT_EQ(report(), expectedReport);
    const std::vector<std::string> expectedTable = {"/mnt/f 1,907 Mo",
                                                    std::string("liste de ") + kFolder,
                                                    "Répertoire\tOctets perdus\tTaille utile",
                                                    std::string(kRoot) + "\t8191\t1",
                                                    std::string(kRoot) + "sub" + kSep + "\t0\t8192",
                                                    " Taille totale réelle : 16,384 octets",
                                                    "     Espace perdu     : 8,191 octets"};
    EXPECT_EQ(table(), expectedTable);
    EXPECT_TRUE(files.closed[kReport]);
    EXPECT_TRUE(files.closed[kTable]);

    EXPECT_EQ(etat.NbRepertoires, 1u);
    EXPECT_EQ(etat.NbFichiers, 2u);
    EXPECT_EQ(etat.TotalUtile, 8193u);
    EXPECT_EQ(etat.TotalReel, 16384u);
    EXPECT_EQ(etat.PerteCumulee, 4095u); // files only, not the sub-folder's cluster
    EXPECT_EQ(etat.TotalReelDe(2048), 2048u + 2048u + 8192u);
    EXPECT_EQ(etat.TotalReelDe(4096), 4096u + 4096u + 8192u);
    EXPECT_EQ(etat.TotalReelDe(8192), 3 * 8192u);
    EXPECT_EQ(etat.TotalReelDe(16384), 3 * 16384u);
    EXPECT_EQ(etat.TotalReelDe(32768), 3 * 32768u);
    EXPECT_EQ(etat.Separateur, kSep);
    EXPECT_FALSE(etat.DemandeAnnulation);
}

TEST_F(ScanRun, EmptyFolderAndSingularWords) {
    tree.folder(kDriveRoot, "lost+found"); // not below the chosen folder
    view.folder = kRoot;                   // already ends with the separator
    etat.PartitionFat = false;
    press();
    EXPECT_EQ(etat.Separateur, "");
    EXPECT_EQ(view.list3,
              (std::vector<std::string>{"/mnt/f 1,907 Mo", std::string("Recherche sur ") + kRoot,
                                        " Taille totale utile  : 0 octets",
                                        " Taille totale réelle : 0 octets",
                                        "     Espace perdu     : 0 octets"}));
    EXPECT_EQ(view.panels[1], "0 répertoire");
    EXPECT_EQ(view.panels[2], "0 fichier");
    EXPECT_EQ(view.panels[3], "0. Mo perdus");
    const auto tail = std::vector<std::string>(view.calls.end() - 11, view.calls.end());
    EXPECT_EQ(tail, unlock(false));
}

TEST_F(ScanRun, PluralFromTwoAndLossWithFolderClusters) {
    tree.folder(kRoot, "x");
    tree.folder(kRoot, "y");
    tree.file(kRoot, "f", 3 * 1024 * 1024); // exact clusters: no slack
    tree.file(kRoot, "g", 0);
    press();
    EXPECT_EQ(view.panels[1], "2 répertoires");
    EXPECT_EQ(view.panels[2], "2 fichiers");
    // 8192 bytes of folder clusters, shown at the end only.
    EXPECT_EQ(view.panels[3], "0.01 Mo perdus");
    EXPECT_EQ(etat.PerteCumulee, 0u);
}

TEST_F(ScanRun, DriveTextIsReadAgainAtTheEnd) {
    view.onPump = [this] {
        if (view.pumps == 2) view.drive = "/mnt/g [DISK]"; // after H was written
    };
    etat.TailleDisqueMo = 0;
    press();
    EXPECT_EQ(report().front(), "/mnt/f  Mo");
    EXPECT_EQ(view.list3.front(), "/mnt/g [DISK]  Mo");
}

TEST_F(ScanRun, ClusterSizeNotPositiveRefusesTheRun) {
    for (const std::int32_t cluster : {0, -4096}) {
        SCOPED_TRACE(cluster);
        view.calls.clear();
        etat.TailleCluster = cluster;
        press();
        ASSERT_EQ(view.errors.size(), 1u);
        EXPECT_EQ(view.errors[0], "Problème ! ...|Taille de cluster inconnue (" +
                                      std::to_string(cluster) +
                                      " octets) : l'analyse est impossible.");
        EXPECT_EQ(view.calls.back(), "showError(" + view.errors[0] + ")");
        EXPECT_TRUE(view.okEnabled);
        EXPECT_EQ(view.caption, "&Démarrer");
        EXPECT_TRUE(files.created.empty());
        EXPECT_TRUE(tree.opened.empty());
        view.errors.clear();
    }
}

TEST_F(ScanRun, ReportThatCannotBeCreated) {
    smallTree();
    files.refuseCreate.insert(kReport);
    press();
    const std::string message = "Impossible de créer le fichier /tmp/r1 : Permission denied";
    EXPECT_EQ(view.errors, std::vector<std::string>{"Problème ! ...|" + message});
    EXPECT_TRUE(tree.opened.empty());
    EXPECT_TRUE(files.created.empty());
    EXPECT_EQ(view.list3,
              (std::vector<std::string>{"/mnt/f 1,907 Mo", std::string("Recherche sur ") + kFolder,
                                        message}));
    // Controls as after any run, then the message.
    auto tail = std::vector<std::string>(view.calls.end() - 12, view.calls.end() - 1);
    EXPECT_EQ(tail, unlock(true));
    EXPECT_FALSE(etat.DemandeAnnulation);
}

TEST_F(ScanRun, TableThatCannotBeCreatedClosesTheReport) {
    smallTree();
    files.refuseCreate.insert(kTable);
    press();
    EXPECT_EQ(view.errors,
              std::vector<std::string>{"Problème ! ...|Impossible de créer le fichier /tmp/r2 : "
                                       "Permission denied"});
    EXPECT_FALSE(files.committed[kReport]) << "the report never takes its name alone";
    EXPECT_TRUE(report().empty());
    EXPECT_TRUE(tree.opened.empty());
}

TEST_F(ScanRun, WriteFailureStopsTheWalkAndIsNeverSuccess) {
    smallTree();
    tree.folder(kRoot, "later");
    // H, "liste de", " ", P, then the first block line fails.
    files.failAfter[kReport] = 4;
    press();
    const std::string message =
        "Impossible d'écrire dans le fichier /tmp/r1 : No space left on device";
    EXPECT_EQ(view.errors, std::vector<std::string>{"Problème ! ...|" + message});
    EXPECT_EQ(tree.opened, std::vector<std::string>{kRoot}); // no sub-folder entered
    EXPECT_EQ(view.list3,
              (std::vector<std::string>{"/mnt/f 1,907 Mo", std::string("Recherche sur ") + kFolder,
                                        message}));
    EXPECT_TRUE(view.callsStartingWith("appendList3( Taille").empty());
    EXPECT_EQ(view.panels[1], "");
    EXPECT_TRUE(files.closed[kReport]);
    EXPECT_TRUE(files.closed[kTable]);
    EXPECT_EQ(view.caption, "&Démarrer");
    EXPECT_TRUE(view.okEnabled);
    EXPECT_FALSE(etat.DemandeAnnulation);
    EXPECT_EQ(view.callsStartingWith("setOkCaption").back(), "setOkCaption(&Démarrer)");
}

TEST_F(ScanRun, LossFoundAtCloseReplacesTheTotals) {
    smallTree();
    files.failClose.insert(kTable);
    press();
    const std::string message =
        "Impossible d'écrire dans le fichier /tmp/r2 : No space left on device";
    EXPECT_EQ(view.errors, std::vector<std::string>{"Problème ! ...|" + message});
    EXPECT_EQ(view.list3.back(), message);
    EXPECT_EQ(view.list3.size(), 3u);
    for (int panel = 1; panel <= 3; ++panel)
        EXPECT_EQ(view.panels[panel], "") << panel;
}

TEST_F(ScanRun, SecondRunStartsFromZero) {
    smallTree();
    press();
    press();
    EXPECT_EQ(etat.NbFichiers, 2u);
    EXPECT_EQ(etat.TotalReel, 16384u);
    EXPECT_EQ(view.list1.size(), 8u);
    EXPECT_EQ(report().size(), 16u);
}

} // namespace
} // namespace kesp::test
