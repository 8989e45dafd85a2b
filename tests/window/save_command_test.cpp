#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>

#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/posix_files.h"
#include "support/temp_dir.h"
#include "window/commands.h"

namespace kesp {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::FakeLauncher;
using testing::RecordingBoxes;

using test::readFile;

void writeFile(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Latin-1 bytes, CR LF and a TAB: the copy must not touch any of them.
const std::string kReport = "Taille utile\r\nDemande annul\xe9"
                            "e avant la fin !!\r\n";
const char kTableBytes[] = "c:\\\t12\t2048\r\n\xff\x00z\r\n";
const std::string kTable(kTableBytes, sizeof kTableBytes - 1);

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(temp);
        fs::create_directories(out);
        writeFile(res1, kReport);
        writeFile(res2, kTable);
    }

    void save(std::optional<std::string> answer) {
        dialogs.saveAnswers.push_back(std::move(answer));
        Enregistrer_Click(temp.string(), res1.string(), res2.string(), services);
    }

    test::TempDir dir;
    fs::path root = dir.path(), temp = root / "temp", out = root / "out";
    fs::path res1 = temp / "~qkres1.tmp", res2 = temp / "~qkres2.tmp";
    FakeDialogs dialogs;
    RecordingBoxes boxes;
    FakeLauncher launcher;
    testing::RecordingPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
};

TEST_F(SaveTest, AsksWithTheFixedTitleNameFolderFiltersAndExtensionAndCancelWritesNothing) {
    save(std::nullopt);
    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    const SaveDialogRequest& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.title, "Enregistrer sous ...");
    EXPECT_EQ(request.fileName, temp.string() + "/kesp.txt");
    EXPECT_EQ(request.initialFolder, temp.string());
    EXPECT_EQ(request.defaultExtension, "txt");
    const std::vector<std::pair<std::string, std::string>> filters = {{"Fichiers texte", "*.txt"},
                                                                      {"Tous les fichiers", "*"}};
    EXPECT_EQ(request.filters, filters);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_TRUE(fs::is_empty(out));
    EXPECT_EQ(namesIn(temp), (std::vector<std::string>{"~qkres1.tmp", "~qkres2.tmp"}));
}

TEST_F(SaveTest, CopiesBothFilesByteForByteUnderTheChosenAndCompanionNames) {
    save((out / "liste.2005.txt").string());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(readFile(out / "liste.2005.txt"), kReport);
    EXPECT_EQ(readFile(out / "liste.2005excel.txt"), readFile(res2));
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"liste.2005.txt", "liste.2005excel.txt"}));
}

TEST_F(SaveTest, ReplacesExistingFilesAndSavingTwiceGivesTheSameFiles) {
    writeFile(out / "bilan.txt", "old report, longer than the new one ..........................");
    writeFile(out / "bilanexcel.txt", "old table");
    save((out / "bilan.txt").string());
    save((out / "bilan.txt").string());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(readFile(out / "bilan.txt"), kReport);
    EXPECT_EQ(readFile(out / "bilanexcel.txt"), readFile(res2));

    writeFile(res1, "second scan\r\n");
    save((out / "bilan.txt").string());
    EXPECT_EQ(readFile(out / "bilan.txt"), "second scan\r\n");
}

TEST_F(SaveTest, LongNamesAreSavedWhileTheCompanionStillFits) {
    const std::string base(246, 'n'); // base + "excel.txt" is 255 bytes, the longest name
    save((out / (base + ".txt")).string());
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    EXPECT_EQ(readFile(out / (base + ".txt")), kReport);
    EXPECT_EQ(readFile(out / (base + "excel.txt")), kTable);
}

TEST_F(SaveTest, ChoosingTheTableFileItselfStillSavesBothOriginals) {
    const std::string table = readFile(res2);
    save(res2.string());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(readFile(res2), kReport);
    EXPECT_EQ(readFile(temp / "~qkres2excel.txt"), table);
}

TEST_F(SaveTest, CopiesGetOrdinaryPermissions) {
    save((out / "perm.txt").string());
    const auto perms = fs::status(out / "perm.txt").permissions();
    EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if ((mask & 0044) == 0) {
        EXPECT_NE(perms & fs::perms::others_read, fs::perms::none) << "left private";
    }
}

// Whichever of the two copies cannot be written, neither file is saved and nothing is replaced.
TEST_F(SaveTest, AFileThatCannotBeWrittenIsReportedAndSavesNeither) {
    fs::create_directories(out / "dossier");
    fs::create_directories(out / "bilanexcel.txt");
    writeFile(out / "bilan.txt", "keep me");
    const std::string longName(251, 'n'); // fits with ".txt", not with "excel.txt"
    const struct {
        fs::path chosen, failing;
        std::string error; // empty: whatever the system says
    } cases[] = {
        {out / "absent/bilan.txt", out / "absent/bilan.txt", "No such file or directory"},
        {out / "bilan.txt", out / "bilanexcel.txt", "Is a directory"},
        {out / (longName + ".txt"), out / (longName + "excel.txt"), "File name too long"},
        {out / "dossier", out / "dossier", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.string());
        boxes.shown.clear();
        save(c.chosen.string());
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Enregistrer sous ...");
        EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Critical);
        const std::string head =
            "Le fichier " + c.failing.string() + " n'a pas pu être enregistré.";
        EXPECT_EQ(boxes.shown[0].text.rfind(head + "\r\n", 0), 0u) << boxes.shown[0].text;
        if (!c.error.empty()) {
            EXPECT_EQ(boxes.shown[0].text, head + "\r\n" + c.error);
        }
    }
    EXPECT_EQ(readFile(out / "bilan.txt"), "keep me");
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"bilan.txt", "bilanexcel.txt", "dossier"}))
        << "no copy, no temporary file";
    EXPECT_TRUE(fs::is_empty(out / "dossier"));
    EXPECT_TRUE(fs::is_empty(out / "bilanexcel.txt"));
}

TEST_F(SaveTest, AMissingResultFileIsReportedAsUnreadableAndReplacesNothing) {
    writeFile(out / "bilan.txt", "keep me");
    fs::remove(res2);
    save((out / "bilan.txt").string());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text,
              "Le fichier " + res2.string() + " n'a pas pu être lu.\r\nNo such file or directory");
    EXPECT_EQ(readFile(out / "bilan.txt"), "keep me");
    EXPECT_EQ(namesIn(out), (std::vector<std::string>{"bilan.txt"}));
}

TEST_F(SaveTest, AResultFileThatIsNotOurOwnIsNeverCopied) {
    const fs::path secret = root / "secret";
    writeFile(secret, "mode 0600 secret");
    fs::remove(res2);
    fs::create_symlink(secret, res2);
    fs::path fifo = root / "fifo";
    ASSERT_TRUE(test::makeFifo(fifo));
    fs::path theirs = root / "theirs";
    writeFile(theirs, "not ours");
    const bool chowned = test::giveTo(theirs, 65534, 65534);
    for (const auto& [source, reason] : std::vector<std::pair<fs::path, std::string>>{
             {res2, "le fichier est un lien symbolique"},
             {fifo, "ce n'est pas un fichier ordinaire"},
             {chowned ? theirs : res2, chowned ? "le fichier appartient à un autre utilisateur"
                                               : "le fichier est un lien symbolique"}}) {
        boxes.shown.clear();
        dialogs.saveAnswers.push_back((out / "bilan.txt").string());
        Enregistrer_Click(temp.string(), res1.string(), source.string(), services);
        ASSERT_EQ(boxes.shown.size(), 1u) << source;
        EXPECT_EQ(boxes.shown[0].text,
                  "Le fichier " + source.string() + " n'a pas pu être lu.\r\n" + reason);
        EXPECT_TRUE(namesIn(out).empty()) << source;
    }
}

// A small tmpfs gives a real read-only folder and a real full disk, even for root.
class SaveOnTmpfsTest : public SaveTest {
protected:
    void SetUp() override {
        SaveTest::SetUp();
        fs::create_directories(mnt);
        disk.emplace(mnt.string());
        if (!disk->mounted()) GTEST_SKIP() << disk->reason();
    }
    fs::path mnt = root / "mnt";
    std::optional<test::SmallTmpfs> disk;
};

TEST_F(SaveOnTmpfsTest, ReadOnlyFolderIsReported) {
    writeFile(mnt / "bilan.txt", "keep me");
    ASSERT_TRUE(test::remountReadOnly(mnt));
    save((mnt / "bilan.txt").string());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Le fichier " + (mnt / "bilan.txt").string() +
                                       " n'a pas pu être enregistré.\r\nRead-only file system");
    EXPECT_EQ(readFile(mnt / "bilan.txt"), "keep me");
}

TEST_F(SaveOnTmpfsTest, FullDiskIsReportedAndLeavesNeitherCopyNorTemporaryFile) {
    writeFile(mnt / "bilan.txt", "keep me");
    writeFile(res2, std::string(256 * 1024, 'x'));
    save((mnt / "bilan.txt").string());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Le fichier " + (mnt / "bilanexcel.txt").string() +
                                       " n'a pas pu être enregistré.\r\nNo space left on device");
    EXPECT_EQ(readFile(mnt / "bilan.txt"), "keep me");
    EXPECT_EQ(namesIn(mnt), (std::vector<std::string>{"bilan.txt"}));
}

} // namespace
} // namespace kesp
