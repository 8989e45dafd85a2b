// Printing and help against a scripted launcher: the argument vectors, the two stages and the
// messages of each failure.
#include <gtest/gtest.h>

#include "output/commands.h"
#include "support/fake_desktop_services.h"

namespace kesp {
namespace {

using testing::FakeDialogs;
using testing::FakeLauncher;
using testing::RecordingBoxes;

class LaunchTest : public ::testing::Test {
protected:
    FakeDialogs dialogs;
    RecordingBoxes boxes;
    FakeLauncher launcher;
    testing::RecordingPdfWriter pdf;
    OutputServices services{dialogs, boxes, launcher, pdf};
};

const std::string kOddPath = "-o dossier avec blancs;$(rm -rf x)/~qkres1.tmp";

TEST_F(LaunchTest, PrintStartsLpWithThePathAsOneArgumentAfterTheDialog) {
    dialogs.printAnswers = {true};
    Imprimer_Click(kOddPath, services);
    EXPECT_EQ(dialogs.printTitles, std::vector<std::string>{"Impression"});
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0], (std::vector<std::string>{"lp", "--", kOddPath}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, PrintUsesThePrinterAndCopiesChosenInTheDialog) {
    using Argv = std::vector<std::string>;
    const struct {
        PrintChoice choice;
        Argv argv;
    } cases[] = {
        {{"bureau", 1, ""}, {"lp", "-d", "bureau", "--", "/t/r"}},
        {{"bureau", 3, ""}, {"lp", "-d", "bureau", "-n", "3", "--", "/t/r"}},
        {{"", 2, ""}, {"lp", "-n", "2", "--", "/t/r"}},
    };
    for (const auto& c : cases) {
        launcher.started.clear();
        dialogs.printAnswers = {true};
        dialogs.printChoice = c.choice;
        Imprimer_Click("/t/r", services);
        ASSERT_EQ(launcher.started.size(), 1u);
        EXPECT_EQ(launcher.started[0], c.argv);
    }
    EXPECT_TRUE(pdf.written.empty());
}

TEST_F(LaunchTest, PrintToFileWritesThePdfAndStartsNoLp) {
    dialogs.printAnswers = {true, true};
    dialogs.printChoice = {"", 1, "/home/u/rapport.pdf"};
    Imprimer_Click("/t/~qkres1.tmp", services);
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(pdf.written.size(), 1u);
    EXPECT_EQ(pdf.written[0],
              std::make_pair(std::string("/t/~qkres1.tmp"), std::string("/home/u/rapport.pdf")));
    EXPECT_TRUE(boxes.shown.empty());

    pdf.refusal = "Écriture de /home/u/rapport.pdf impossible : Permission denied";
    Imprimer_Click("/t/~qkres1.tmp", services);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text,
              "L'impression dans le fichier /home/u/rapport.pdf a échoué.\r\n"
              "Écriture de /home/u/rapport.pdf impossible : Permission denied");
}

TEST_F(LaunchTest, PrintWithoutLpSaysSoInFrench) {
    dialogs.printAnswers = {true};
    launcher.startAnswers = {{kErrorFileNotFound, "Fichier introuvable"}};
    Imprimer_Click("/tmp/~qkres1.tmp", services);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text, "Impossible de lancer l'impression : lp /tmp/~qkres1.tmp\r\n"
                                   "Erreur : 53\r\nFichier introuvable\r\n"
                                   "La commande lp (CUPS) n'est pas installée.");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(LaunchTest, LpRefusalArrivesLaterWithItsStatusAndMessage) {
    dialogs.printAnswers = {true};
    Imprimer_Click("/tmp/~qkres1.tmp", services);
    ASSERT_EQ(launcher.finishedCallbacks.size(), 1u);
    ASSERT_TRUE(launcher.finishedCallbacks[0]);
    EXPECT_TRUE(boxes.shown.empty()) << "the command must not wait for lp";

    launcher.finishedCallbacks[0](1, "lp: Error - No default destination.\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text, "L'impression de /tmp/~qkres1.tmp a été refusée (code de "
                                   "sortie 1).\r\nlp: Error - No default destination.");
}

TEST_F(LaunchTest, PrintCancelStartsNothingAndLpSuccessShowsNothing) {
    dialogs.printAnswers = {false, true};
    Imprimer_Click("/tmp/~qkres1.tmp", services);
    EXPECT_TRUE(launcher.started.empty());
    Imprimer_Click("/tmp/~qkres1.tmp", services);
    launcher.finishedCallbacks.at(0)(0, "");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, HelpStartsXdgOpenWithThePathAsOneArgument) {
    aide_Click("/opt/mes outils/kespaide.mht", services);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"xdg-open", "/opt/mes outils/kespaide.mht"}));
    EXPECT_TRUE(launcher.desktopOpened.empty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, HelpWithoutXdgOpenFallsBackToTheDesktopSilently) {
    launcher.startAnswers = {{kErrorFileNotFound, "Fichier introuvable"}};
    launcher.desktopAnswers = {false};
    aide_Click("/opt/kesp/kespaide.mht", services);
    EXPECT_EQ(launcher.desktopOpened, std::vector<std::string>{"/opt/kesp/kespaide.mht"});
    EXPECT_EQ(launcher.started.size(), 1u);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, HelpOtherFailureShowsTheProblemBox) {
    launcher.startAnswers = {{5, "Argument ou appel de procédure incorrect"}};
    aide_Click("/opt/kesp/kespaide.mht", services);
    EXPECT_TRUE(launcher.desktopOpened.empty());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Problème ! ...");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(boxes.shown[0].text, "xdg-open \"/opt/kesp/kespaide.mht\"\r\nErreur : 5\r\n"
                                   "Argument ou appel de procédure incorrect");
}

} // namespace
} // namespace kesp
