// Printing and help against a scripted launcher: the argument vectors, the two stages and the
// messages of each failure.
#include <filesystem>
#include <gtest/gtest.h>

#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/temp_dir.h"
#include "window/commands.h"

namespace kesp {
namespace {

using testing::FakeDialogs;
using testing::FakeLauncher;
using testing::RecordingBoxes;

const std::string kOddPath = "-o dossier avec blancs;$(rm -rf x)/~qkres1.tmp";

// Print reads real result files: the odd one relative to a private current folder.
class LaunchTest : public ::testing::Test {
protected:
    LaunchTest() : previous(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
        dir.file(kOddPath, 3);
        dir.file("~qkres1.tmp", 3);
    }
    ~LaunchTest() override { std::filesystem::current_path(previous); }

    test::TempDir dir;
    std::filesystem::path previous;
    const std::string report = dir / "~qkres1.tmp";
    FakeDialogs dialogs;
    RecordingBoxes boxes;
    FakeLauncher launcher;
    testing::RecordingPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
};

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
        {{"bureau", 1, ""}, {"lp", "-d", "bureau", "--", report}},
        {{"bureau", 3, ""}, {"lp", "-d", "bureau", "-n", "3", "--", report}},
        {{"", 2, ""}, {"lp", "-n", "2", "--", report}},
    };
    for (const auto& c : cases) {
        launcher.started.clear();
        dialogs.printAnswers = {true};
        dialogs.printChoice = c.choice;
        Imprimer_Click(report, services);
        ASSERT_EQ(launcher.started.size(), 1u);
        EXPECT_EQ(launcher.started[0], c.argv);
    }
    EXPECT_TRUE(pdf.written.empty());
}

TEST_F(LaunchTest, PrintToFileWritesThePdfAndStartsNoLp) {
    dialogs.printAnswers = {true, true};
    dialogs.printChoice = {"", 1, "/home/u/rapport.pdf"};
    Imprimer_Click(report, services);
    EXPECT_TRUE(launcher.started.empty());
    ASSERT_EQ(pdf.written.size(), 1u);
    EXPECT_EQ(pdf.written[0], std::make_pair(report, std::string("/home/u/rapport.pdf")));
    EXPECT_TRUE(boxes.shown.empty());

    pdf.refusal = "Écriture de /home/u/rapport.pdf impossible : Permission denied";
    Imprimer_Click(report, services);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text,
              "L'impression dans le fichier /home/u/rapport.pdf a échoué.\r\n"
              "Écriture de /home/u/rapport.pdf impossible : Permission denied");
}

TEST_F(LaunchTest, PrintWithoutLpSaysSoInFrench) {
    dialogs.printAnswers = {true};
    launcher.startAnswers = {{kErrorFileNotFound, "Fichier introuvable"}};
    Imprimer_Click(report, services);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text, "Impossible de lancer l'impression : lp " + report +
                                       "\r\n"
                                       "Erreur : 53\r\nFichier introuvable\r\n"
                                       "La commande lp (CUPS) n'est pas installée.");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Exclamation);
}

TEST_F(LaunchTest, LpRefusalArrivesLaterWithItsStatusAndMessage) {
    dialogs.printAnswers = {true};
    Imprimer_Click(report, services);
    ASSERT_EQ(launcher.finishedCallbacks.size(), 1u);
    ASSERT_TRUE(launcher.finishedCallbacks[0]);
    EXPECT_TRUE(boxes.shown.empty()) << "the command must not wait for lp";

    launcher.finishedCallbacks[0](1, "lp: Error - No default destination.\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    EXPECT_EQ(boxes.shown[0].text, "L'impression de " + report +
                                       " a été refusée (code de sortie 1).\r\nlp: Error - No "
                                       "default destination.");
}

TEST_F(LaunchTest, LaidOutPrintingSendsLpThePdfThatAFileWouldGet) {
    const std::string text = dir.file("~qkplan.tmp", 3);
    const std::string stage = dir.file("~qkplanpdf.tmp", 0);
    dialogs.printAnswers = {true, true, false};
    dialogs.printChoice = {"bureau", 2, ""};
    ImprimerMisEnPage(text, stage, services);
    EXPECT_EQ(pdf.written, (std::vector<std::pair<std::string, std::string>>{{text, stage}}));
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"lp", "-d", "bureau", "-n", "2", "--", stage}));

    dialogs.printChoice = {"", 1, "/home/u/plan.pdf"};
    ImprimerMisEnPage(text, stage, services);
    EXPECT_EQ(pdf.written.back(), std::make_pair(text, std::string("/home/u/plan.pdf")));
    EXPECT_EQ(launcher.started.size(), 1u) << "a PDF file needs no lp";

    ImprimerMisEnPage(text, stage, services);
    EXPECT_EQ(pdf.written.size(), 2u) << "cancelled";
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, WithoutAPdfWriterThePrinterGetsTheTextItself) {
    OutputServices noPdf{dialogs, boxes, launcher, nullptr, printer};
    const std::string text = dir.file("~qkplan.tmp", 3);
    dialogs.printAnswers = {true, true};
    dialogs.printChoice = {"bureau", 2, ""};
    ImprimerMisEnPage(text, dir / "~qkplanpdf.tmp", noPdf);
    ASSERT_EQ(launcher.started.size(), 1u);
    EXPECT_EQ(launcher.started[0],
              (std::vector<std::string>{"lp", "-d", "bureau", "-n", "2", "--", text}));

    // A dialog that names a file all the same is told why nothing was written.
    dialogs.printChoice = {"", 1, "/home/u/plan.pdf"};
    ImprimerMisEnPage(text, dir / "~qkplanpdf.tmp", noPdf);
    EXPECT_EQ(launcher.started.size(), 1u);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "L'impression dans le fichier /home/u/plan.pdf a échoué.\r\n"
                                   "L'impression dans un fichier PDF n'est pas disponible sur "
                                   "ce système.");
    EXPECT_TRUE(pdf.written.empty());
}

TEST_F(LaunchTest, PrintCancelStartsNothingAndLpSuccessShowsNothing) {
    dialogs.printAnswers = {false, true};
    Imprimer_Click(report, services);
    EXPECT_TRUE(launcher.started.empty());
    Imprimer_Click(report, services);
    launcher.finishedCallbacks.at(0)(0, "");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LaunchTest, PrintNeverHandsLpALinkOrAnotherUsersFile) {
    const std::string secret = dir.file("secret", 5);
    std::filesystem::create_symlink(secret, dir / "~qkres2.tmp");
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir / "~qkres2.tmp", "le fichier est un lien symbolique"},
        {dir.folder("~qkdir.tmp"), "ce n'est pas un fichier ordinaire"},
    };
    const std::string theirs = dir.file("~qktheirs.tmp", 1);
    if (chown(theirs.c_str(), 65534, 65534) == 0)
        cases.push_back({theirs, "le fichier appartient à un autre utilisateur"});
    for (const auto& [path, reason] : cases) {
        boxes.shown.clear();
        dialogs.printAnswers = {true};
        Imprimer_Click(path, services);
        ASSERT_EQ(boxes.shown.size(), 1u) << path;
        EXPECT_EQ(boxes.shown[0].text, "Le fichier " + path + " n'a pas pu être lu.\r\n" + reason);
    }
    EXPECT_TRUE(launcher.started.empty());
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
    EXPECT_EQ(boxes.shown[0].text, "Aucune application ne peut ouvrir l'aide.\r\n"
                                   "/opt/kesp/kespaide.mht\r\n"
                                   "Argument ou appel de procédure incorrect");
}

} // namespace
} // namespace kesp
