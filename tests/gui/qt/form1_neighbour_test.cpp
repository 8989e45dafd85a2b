// Another local user plants links, files and folders in a sticky shared folder: the window's
// results never leak a private file, and the plants never stop it from scanning.
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/qt/form1_harness.h"
#include "os/posix/output_files_posix.h"
#include "support/posix_files.h"

namespace kesp::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kNeighbour = "kesp-neighbour";

// Why the neighbour cannot be played here; empty when they can.
std::string neighbourMissing() {
    if (!runningAsRoot()) return "needs root to create and act as a second local user";
    const std::string make = std::string("id -u ") + kNeighbour + " >/dev/null 2>&1 || useradd " +
                             "--system --no-create-home --shell /usr/sbin/nologin " + kNeighbour;
    if (std::system(make.c_str()) != 0) return "useradd failed";
    return {};
}

// Runs a shell command as the neighbour.
void asNeighbour(const std::string& command) {
    const std::string line =
        std::string("runuser -u ") + kNeighbour + " -- sh -c '" + command + "'";
    ASSERT_EQ(std::system(line.c_str()), 0) << line;
}

class NeighbourTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string missing = neighbourMissing(); !missing.empty())
            GTEST_SKIP() << missing;
        // The neighbour must reach the shared folder, as they reach /tmp.
        fs::permissions(h.base.path(), fs::perms::owner_all | fs::perms::others_exec);
        fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
        std::ofstream(secret) << "the victim's secret";
        fs::permissions(secret, fs::perms::owner_read | fs::perms::owner_write);
        asNeighbour("ln -s " + secret + " " + shared + "/~qkres2.tmp");
        asNeighbour("echo planted > " + shared + "/~qkres1.tmp");
        asNeighbour("mkdir -m 777 " + shared + "/kesp-0");
        h.files = &disk;
        h.tree.file(h.fatRoot, "A.BIN", 10);
    }

    bool savePrintEnabled() {
        return h.toolButton(1)->isEnabled() || h.menuItem("Enregistrer")->isEnabled() ||
               h.toolButton(2)->isEnabled() || h.menuItem("Imprimer")->isEnabled();
    }

    PosixOutputFiles disk;
    Harness h;
    std::string shared = h.base.folder("shared");
    std::string secret = h.base / "secret.txt";
};

TEST_F(NeighbourTest, AChosenSharedFolderIsRefusedAndNothingCanBeSaved) {
    h.environment.variables["temp"] = shared;
    Form1& form = h.window();
    h.scanFat();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_NE(h.boxes.shown[0].text.find("appartient à un autre utilisateur"), std::string::npos)
        << h.boxes.shown[0].text;
    EXPECT_FALSE(savePrintEnabled()) << "a failed run leaves nothing to save or print";
    EXPECT_EQ(readFile(secret), "the victim's secret");
    form.FinProgramme();
    EXPECT_EQ(readFile(shared + "/~qkres1.tmp"), "planted\n") << "another user's file stays";
}

TEST_F(NeighbourTest, WithoutTempThePlantsAreOutOfTheWay) {
    h.environment.variables.erase("temp");
    h.environment.variables["TMPDIR"] = shared;
    Form1& form = h.window();
    const std::string ownFolder = form.DossierTemp();
    EXPECT_EQ(ownFolder.rfind(shared + "/kesp-0-", 0), 0u) << ownFolder;
    h.scanFat();
    EXPECT_TRUE(h.boxes.shown.empty());
    EXPECT_TRUE(savePrintEnabled());
    EXPECT_NE(readFile(form.etat().CheminRes1).find("Taille totale utile"), std::string::npos);
    const FileFacts facts = factsOf(ownFolder);
    ASSERT_TRUE(facts.folder);
    EXPECT_EQ(facts.mode & 0777, 0700u);
    form.FinProgramme();
    EXPECT_EQ(readFile(shared + "/~qkres1.tmp"), "planted\n");
    EXPECT_TRUE(fs::is_symlink(shared + "/~qkres2.tmp"));
    EXPECT_FALSE(fs::exists(form.etat().CheminRes1));
}

} // namespace
} // namespace kesp::test
