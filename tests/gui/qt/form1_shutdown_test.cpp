// FinProgramme: from the menu, from closing the window and in the middle of a scan; and the
// refusal of result files planted in the shared temporary folder.
#include <QTest>
#include <filesystem>
#include <gtest/gtest.h>

#include "gui/qt/form1_harness.h"
#include "os/posix/output_files_posix.h"
#include "support/posix_files.h"

namespace kesp::test {
namespace {

namespace fs = std::filesystem;

bool exists(const std::string& path) {
    return factsOf(path).exists;
}

// Which names go is TempCleanup's own test; here, that quitting runs it on the right folder.
TEST(Form1Shutdown, QuitFromTheMenuDeletesTheTemporaryFilesButFollowsNoLink) {
    Harness h;
    const std::string outside = h.base.file("outside.tmp", 7);
    h.base.file("temp/~qkres1.tmp", 10);
    h.base.file("temp/keep.txt", 1);
    fs::create_symlink(outside, h.temp + "/~qklink.tmp");
    h.window();
    h.menuItem("quitter")->trigger();
    EXPECT_EQ(h.exits, std::vector<int>{0});
    EXPECT_FALSE(exists(h.temp + "/~qkres1.tmp"));
    EXPECT_TRUE(exists(h.temp + "/keep.txt"));
    EXPECT_TRUE(exists(h.temp + "/~qklink.tmp"));
    EXPECT_EQ(readFile(outside).size(), 7u);
}

TEST(Form1Shutdown, ClosingTheWindowQuitsWithoutAMessage) {
    Harness h;
    h.base.file("temp/~qkres2.tmp", 10);
    Form1& form = h.window();
    form.show();
    form.close();
    EXPECT_EQ(h.exits, std::vector<int>{0});
    EXPECT_FALSE(exists(h.temp + "/~qkres2.tmp"));
    EXPECT_TRUE(h.boxes.shown.empty());
}

// Quitting in the middle of a scan: the result files are closed, then deleted, and the process
// ends there. The scan must not resume, so this runs in a child process that really exits.
TEST(Form1ShutdownDeathTest, QuitDuringAScanClosesAndDeletesTheResultFiles) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto quitMidScan = [] {
        PosixOutputFiles disk;
        Harness h;
        h.files = &disk;
        h.ticks.step = 1001;
        for (int i = 0; i < 20; ++i) {
            const std::string sub = h.tree.folder(h.fatRoot, "D" + std::to_string(i));
            h.tree.file(sub, "F", 100);
        }
        Form1& form = h.window();
        h.chooseDrive(h.fatEntry());
        bool quitting = false;
        h.tree.onEntry = [&](const std::string& folder, const std::string&) {
            if (quitting || folder != h.fatRoot + "D3/") return;
            quitting = true;
            QTimer::singleShot(0, &form, [&] { h.menuItem("quitter")->trigger(); });
        };
        h.onExit = [&](int status) {
            // Exit 3 marks anything FinProgramme left behind.
            const bool clean = form.openFiles().openCount() == 0 &&
                               !exists(form.etat().CheminRes1) && !exists(form.etat().CheminRes2) &&
                               form.okCaption() == "&Annuler";
            h.exitNow(clean ? status : 3);
        };
        QTest::mouseClick(h.ok(), Qt::LeftButton);
        h.exitNow(4); // the scan came back: FinProgramme did not end the program
    };
    EXPECT_EXIT(quitMidScan(), ::testing::ExitedWithCode(0), "");
}

TEST(Form1Shutdown, PlantedLinkAsResultFileIsRefusedWithAMessage) {
    PosixOutputFiles disk;
    Harness h;
    h.files = &disk;
    h.tree.file(h.fatRoot, "A.BIN", 10);
    const std::string victim = h.base.file("victim.txt", 12);
    fs::create_symlink(victim, h.temp + "/~qkres1.tmp");
    Form1& form = h.window();
    h.scanFat();

    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_EQ(h.boxes.shown[0].icon, MessageIcon::Critical);
    EXPECT_NE(h.boxes.shown[0].text.find(form.etat().CheminRes1), std::string::npos)
        << h.boxes.shown[0].text;
    EXPECT_EQ(readFile(victim), std::string(12, '\0')) << "the target is untouched";
    EXPECT_EQ(h.ok()->text(), "&Démarrer");
    EXPECT_TRUE(h.ok()->isEnabled());
    EXPECT_TRUE(h.child<QWidget>("Drive1")->isEnabled());
    EXPECT_FALSE(form.etat().DemandeAnnulation);
    EXPECT_EQ(form.openFiles().openCount(), 0u);
}

TEST(Form1Shutdown, AnotherUsersResultFileIsNeitherTruncatedNorDeleted) {
    if (!runningAsRoot()) GTEST_SKIP() << "needs root to give a file to another user";
    PosixOutputFiles disk;
    Harness h;
    h.files = &disk;
    const std::string theirs = h.base.file("temp/~qkres2.tmp", 9);
    ASSERT_TRUE(giveTo(theirs, 65534, 65534));
    Form1& form = h.window();
    h.scanFat();
    ASSERT_EQ(h.boxes.shown.size(), 1u);
    EXPECT_NE(h.boxes.shown[0].text.find(form.etat().CheminRes2), std::string::npos);
    EXPECT_EQ(readFile(theirs).size(), 9u);
    EXPECT_TRUE(h.ok()->isEnabled());
    form.FinProgramme();
    EXPECT_TRUE(exists(theirs));
}

} // namespace
} // namespace kesp::test
