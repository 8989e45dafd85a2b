// kesp-scan in process, on real temporary trees: byte-exact stdout, report and table; every
// failure status; the interrupt as the cancel press.
#include <filesystem>
#include <fstream>

#include "scan_harness.h"
#include "support/posix_files.h"

namespace kesp::test {
namespace {

class KespScan : public ScanHarness {
protected:
    KespScan() : ScanHarness(TempDir::Backing::MemoryIfPossible) {
        volumes.add(dir.path(), "FAT32", "KESP").megabytes = 1234567;
        header = dir.path() + " [KESP] 1,234,567 Mo"; // the volume's drive-list entry
    }

    // The tree of the byte-exact tests: one sub-folder, so the walk order is fixed.
    void smallTree() {
        dir.file("scan/a", 1);
        dir.file("scan/b", 4096);
        dir.file("scan/.h", 0);
        dir.file("scan/sub/\xE9t\xE9", 10);
        std::ofstream(dir / "scan/sub/big", std::ios::binary).flush();
        std::filesystem::resize_file(dir / "scan/sub/big", (5ull << 30) + 1);
    }

    std::string header;
};

TEST_F(KespScan, CompleteRunByteExact) {
    smallTree();
    const std::string root = dir / "scan";
    ASSERT_EQ(run({"--cluster-size", "4096", "--report", dir / "r.txt", "--table", dir / "t.txt",
                   dir.path() + "//scan/./sub/../"}),
              kExitDone);
    EXPECT_EQ(err, "");
    const std::vector<std::string> block1 = {root + "/", " Taille utile     :         4 097 octets",
                                             " Taille réelle    :        12 288 octets",
                                             "     Espace perdu :         8 191 octets"};
    const std::vector<std::string> block2 = {
        root + "/sub/", " Taille utile     : 5 368 709 131 octets",
        " Taille réelle    : 5 368 717 312 octets", "     Espace perdu :         8 181 octets"};
    const std::vector<std::string> totals = {" Taille totale utile  : 5,368,713,228 octets",
                                             " Taille totale réelle : 5,368,729,600 octets",
                                             "     Espace perdu     : 16,372 octets"};
    EXPECT_EQ(out, joined(block1) + joined(block2) + joined({header, "Recherche sur " + root}) +
                       joined(totals));
    EXPECT_EQ(readFile(dir / "r.txt"),
              joined({header, "liste de " + root, " "}, "\r\n") + joined(block1, "\r\n") + " \r\n" +
                  joined(block2, "\r\n") + " \r\n" + joined(totals, "\r\n"));
    EXPECT_EQ(
        readFile(dir / "t.txt"),
        joined({header, "liste de " + root, "Répertoire\tOctets perdus\tTaille utile",
                root + "/\t8191\t4097", root + "/sub/\t8181\t5368709131", totals[1], totals[2]},
               "\r\n"));
}

TEST_F(KespScan, FilesAreOptionalAndSubFoldersCanBeLeftOut) {
    smallTree();
    ASSERT_EQ(run({"--cluster-size", "4096", "--no-subfolders", dir / "scan"}), kExitDone);
    EXPECT_EQ(
        out,
        joined({dir / "scan/", " Taille utile     :         4 097 octets",
                " Taille réelle    :        12 288 octets",
                "     Espace perdu :         8 191 octets", header,
                "Recherche sur " + (dir / "scan"), " Taille totale utile  : 4,097 octets",
                " Taille totale réelle : 12,288 octets", "     Espace perdu     : 8,191 octets"}));
}

TEST_F(KespScan, DetailLinesInTheReport) {
    dir.file("d/only", 5000);
    ASSERT_EQ(run({"--cluster-size", "4096", "--detail", "--report", dir / "r", dir / "d"}),
              kExitDone);
    const std::string report = readFile(dir / "r");
    EXPECT_NE(report.find("\r\n" + (dir / "d/") +
                          "\r\n    Nom du fichier      Octets perdus  Taille utile du fichier"
                          "\r\n    only" +
                          std::string(17, ' ') + "3 192" + std::string(25, ' ') + "5 000\r\n"),
              std::string::npos)
        << report;
    EXPECT_EQ(out.find("Nom du fichier"), std::string::npos);
}

TEST_F(KespScan, RootFolderKeepsItsSlash) {
    // A Ctrl+C pressed at once stops the scan of "/" before its walk; it is only delivered
    // once OK can be pressed again, not while the run is starting.
    interrupted = [] { return true; };
    // The table may not lie in the tree scanned: on the same file system as "/", it is refused.
    if (onSameFileSystem("/", dir.path())) {
        ASSERT_EQ(run({"--cluster-size", "4096", "--table", dir / "t", "/"}), kExitFailed);
        EXPECT_NE(err.find("est dans l'arborescence analysée"), std::string::npos) << err;
    }
    ASSERT_EQ(run({"--cluster-size", "4096", "/"}), kExitCancelled);
    EXPECT_NE(out.find("Recherche sur /\n"), std::string::npos);
    EXPECT_EQ(out.substr(0, 2), "/\n");
}

TEST_F(KespScan, BadInput) {
    dir.file("plain", 1);
    dir.folder("d");
    std::filesystem::create_symlink(dir / "d", dir / "dl");
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--cluster-size", "0", dir.path()},
         "kesp-scan: taille de cluster invalide (entier positif attendu) : 0\n"},
        {{"--cluster-size", "4096", dir / "missing"},
         "kesp-scan: " + (dir / "missing") + " : dossier introuvable\n"},
        {{"--cluster-size", "4096", dir / "plain"},
         "kesp-scan: " + (dir / "plain") + " n'est pas un dossier\n"},
        {{"--cluster-size", "4096", "--report", dir / "same", "--table", dir / "./same",
          dir.path()},
         "kesp-scan: --report et --table désignent le même fichier\n"},
        {{"--cluster-size", "4096", "--report", dir / "d/x", "--table", dir / "dl/x", dir.path()},
         "kesp-scan: --report et --table désignent le même fichier\n"},
        {{"--cluster-size", "4096", dir / "n\x1B]0;x\a"},
         "kesp-scan: " + (dir / "n\x1B]0;x\a") + " : dossier introuvable\n"},
        {{"--cluster-size", "4096", dir / std::string(300, 'n')},
         "kesp-scan: " + (dir / std::string(300, 'n')) +
             " : dossier introuvable (File name too long)\n"},
        {{"--bogus"}, "kesp-scan: option inconnue : --bogus\n"},
        // Refused before anything is walked.
        {{"--cluster-size", "4096", "--report", dir / "no/such/folder/r", dir.path()},
         "kesp-scan: Impossible de créer le fichier " + (dir / "no/such/folder/r") +
             " : No such file or directory\n"},
    };
    for (const auto& [args, message] : cases) {
        EXPECT_EQ(run(args), kExitFailed) << message;
        EXPECT_EQ(err, message);
        EXPECT_EQ(out, "");
    }
}

TEST_F(KespScan, ARunThatCannotWriteLeavesExistingFilesAsTheyWere) {
    dir.file("scan/a", 1);
    std::ofstream(dir / "p") << "keep";
    EXPECT_EQ(run({"--cluster-size", "4096", "--report", dir / "p", "--table", dir / "missing/x",
                   dir / "scan"}),
              kExitFailed);
    EXPECT_EQ(readFile(dir / "p"), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2); // "p" and "scan"
}

// Names and a label built to break the files' rows and to drive a terminal.
TEST_F(KespScan, ControlCharactersNeverBreakLinesOrCells) {
    volumes.volumes.clear();
    volumes.add(dir.path(), "FAT32", "L\t=2\r\nX");
    const std::vector<std::string> names = {"x\t=1+1\t999999", "a\r\n=HYPERLINK(\"h\")",
                                            "e\x1B[31m", "b\\s\x7F"};
    for (const std::string& name : names)
        dir.file("scan/" + name + "/f", 1);
    escapeOut = true;
    ASSERT_EQ(
        run({"--cluster-size", "4096", "--report", dir / "r", "--table", dir / "t", dir / "scan"}),
        kExitDone);
    auto lines = [](const std::string& text) {
        std::vector<std::string> out;
        for (std::size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
             start = end + 2)
            out.push_back(text.substr(start, end - start));
        return out;
    };
    const std::vector<std::string> table = lines(readFile(dir / "t"));
    ASSERT_EQ(table.size(), 3u + 1 + names.size() + 2);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto cells = std::count(table[i].begin(), table[i].end(), '\t') + 1;
        EXPECT_EQ(cells, i >= 2 && i < 3 + 1 + names.size() ? 3 : 1) << table[i];
        EXPECT_EQ(
            std::count_if(table[i].begin(), table[i].end(),
                          [](unsigned char c) { return c != '\t' && (c < 0x20 || c == 0x7F); }),
            0)
            << table[i];
    }
    EXPECT_NE(
        std::find(table.begin(), table.end(), dir / "scan/a\\x0D\\x0A=HYPERLINK(\"h\")/\t4095\t1"),
        table.end());
    EXPECT_EQ(table[0].find(" [L\\x09=2\\x0D\\x0AX] "), dir.path().size());

    // The report only escapes line breaks: every line is one of the run's lines.
    const std::string report = readFile(dir / "r");
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2 + 5 * 5 + 4);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\r'), 2 + 5 * 5 + 4);
    EXPECT_NE(report.find(dir / "scan/x\t=1+1\t999999/\r\n"), std::string::npos);

    // stdout is a terminal here: no control byte but the line ends.
    EXPECT_EQ(std::count_if(out.begin(), out.end(),
                            [](unsigned char c) { return c != '\n' && (c < 0x20 || c == 0x7F); }),
              0);
    EXPECT_NE(out.find(dir / "scan/e\\x1B[31m/\n"), std::string::npos);
}

TEST_F(KespScan, FullDiskIsAFailure) {
    const std::string small = dir.folder("small");
    SmallTmpfs disk(small);
    if (!disk.mounted()) GTEST_SKIP() << disk.reason();
    // 2,000 folders make a report of about 260 KB.
    for (int i = 0; i < 2000; ++i)
        dir.folder("scan/" + std::to_string(i));
    EXPECT_EQ(run({"--cluster-size", "4096", "--report", small + "/r", dir / "scan"}), kExitFailed);
    EXPECT_EQ(err, "kesp-scan: Impossible d'écrire dans le fichier " + small +
                       "/r : No space left on device\n");
    EXPECT_EQ(out.find("Taille totale"), std::string::npos);
    // The walk stopped soon after the failure instead of listing every folder.
    EXPECT_LT(std::count(out.begin(), out.end(), '\n'), 4 * 2000);
}

TEST_F(KespScan, InterruptBeforeTheWalk) {
    dir.file("scan/a", 1);
    dir.folder("scan/sub");
    interrupted = [] { return true; }; // first polled once OK can be pressed
    ASSERT_EQ(run({"--cluster-size", "4096", "--report", dir / "r", dir / "scan"}), kExitCancelled);
    EXPECT_EQ(out, joined({dir / "scan/", " Taille utile     :             0 octets",
                           " Taille réelle    :             0 octets",
                           "     Espace perdu :             0 octets", header,
                           "Recherche sur " + (dir / "scan"), "Demande annulée avant la fin !!"}));
    EXPECT_TRUE(endsWith(readFile(dir / "r"), "\r\nDemande annulée avant la fin !!\r\n"));
}

TEST_F(KespScan, InterruptDuringTheWalk) {
    for (const char* name : {"a", "b", "c"})
        dir.file(std::string("scan/") + name + "/f", 1);
    int polls = 0;
    // Polled once before the walk, then before every entry and at each folder's end: the 7th
    // comes once a/f is measured.
    interrupted = [&] { return ++polls == 7; };
    ASSERT_EQ(run({"--cluster-size", "4096", "--table", dir / "t", dir / "scan"}), kExitCancelled);
    // The folder being listed keeps its file; its pending siblings are listed empty.
    const std::string table = readFile(dir / "t");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3 + 4);
    EXPECT_EQ(table.find("\t4095\t1\r\n"), table.rfind("\t4095\t1\r\n"));
    const std::size_t measured = table.find("\t4095\t1\r\n");
    ASSERT_NE(measured, std::string::npos);
    EXPECT_EQ(table.substr(measured).find("Taille"), std::string::npos);
    EXPECT_TRUE(endsWith(out, "\nDemande annulée avant la fin !!\n")) << out;
}

TEST_F(KespScan, InterruptAfterTheWalkStopsNothing) {
    dir.file("scan/a", 1);
    int polls = 0;
    // Before the walk, before "a", at the folder's end: no; the pump after the walk: yes.
    interrupted = [&] { return ++polls == 4; };
    ASSERT_EQ(run({"--cluster-size", "4096", dir / "scan"}), kExitDone);
    EXPECT_TRUE(endsWith(out, "\n     Espace perdu     : 4,095 octets\n")) << out;
}

TEST_F(KespScan, StatusLineOnATerminal) {
    dir.file("scan/a", 1);
    dir.file("scan/b", 1);
    statusOnErr = true;
    ticks.step = 1000; // every file is past the period
    ASSERT_EQ(run({"--cluster-size", "4096", dir / "scan"}), kExitDone);
    EXPECT_EQ(err.substr(0, 1), "\r");
    EXPECT_NE(err.find("0 répertoires  1 fichiers  0.00 Mo perdus\x1b[K"), std::string::npos);
    EXPECT_NE(err.find("\r0 répertoire  2 fichiers  0.01 Mo perdus\x1b[K\n"), std::string::npos);
    statusOnErr = false;
    ASSERT_EQ(run({"--cluster-size", "4096", dir / "scan"}), kExitDone);
    EXPECT_EQ(err, "");
}

TEST_F(KespScan, FolderThatVanishesDuringTheWalk) {
    dir.file("scan/one/f", 100);
    dir.file("scan/two/f", 100);
    // Whichever sub-folder comes first removes the other one.
    TamperingEnumerator tampering(folders, [this](const std::string& path) {
        if (path == dir / "scan/one/") std::filesystem::remove_all(dir / "scan/two");
        if (path == dir / "scan/two/") std::filesystem::remove_all(dir / "scan/one");
    });
    enumerator = &tampering;
    ASSERT_EQ(run({"--cluster-size", "4096", "--table", dir / "t", dir / "scan"}), kExitIncomplete);
    const std::string table = readFile(dir / "t");
    // Both were counted in the root; the one that vanished gives a zero line, is named, and the
    // run goes on to its totals.
    EXPECT_TRUE(err == "kesp-scan: " + (dir / "scan/one/") +
                           " : dossier illisible (No such file or directory)\n" ||
                err == "kesp-scan: " + (dir / "scan/two/") +
                           " : dossier illisible (No such file or directory)\n")
        << err;
    EXPECT_NE(out.find("1 dossier(s) illisible(s)\n"), std::string::npos) << out;
    EXPECT_NE(table.find("/scan/\t8192\t0\r\n"), std::string::npos) << table;
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3 + 3 + 2);
    EXPECT_NE(table.find("\t0\t0\r\n"), std::string::npos) << table;
    EXPECT_NE(out.find(" Taille totale utile  : 100 octets"), std::string::npos) << out;
}

TEST_F(KespScan, ThreeThousandLevelsFarBeyondPathMax) {
    // Made relative to each new folder's descriptor: the deepest path is about 63,000 bytes.
    const std::string name(20, 'd');
    const std::string tree = dir.folder("tree");
    ASSERT_TRUE(makeDeepTree(tree, name, 3000));
    ASSERT_EQ(run({"--cluster-size", "512", "--table", dir / "t", tree}), kExitDone) << err;
    const std::string table = readFile(dir / "t");
    EXPECT_EQ(std::count(table.begin(), table.end(), '\n'), 3 + 3001 + 2);
    EXPECT_NE(out.find(" Taille totale réelle : 1,536,000 octets"), std::string::npos);
}

} // namespace
} // namespace kesp::test
