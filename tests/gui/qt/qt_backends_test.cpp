// The Qt dialogs and launcher behind the output commands, driven offscreen.
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "gui/qt/qt_file_dialogs.h"
#include "gui/qt/qt_pdf_writer.h"
#include "gui/qt/qt_program_launcher.h"
#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/temp_dir.h"
#include "window/commands.h"

namespace kesp {
namespace {

namespace fs = std::filesystem;

// A fresh folder, removed afterwards, as a path.
struct TempFolder {
    test::TempDir dir;
    fs::path path = dir.path();
};

using test::readFile;

// Runs `inspect` on the modal dialog once it is up.
template <class Dialog> void whenModal(std::function<void(Dialog*)> inspect) {
    QTimer::singleShot(0, qApp, [inspect] {
        Dialog* dialog = nullptr;
        const bool up = QTest::qWaitFor([&] {
            dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            return dialog != nullptr;
        });
        if (!up) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        inspect(dialog);
    });
}

TEST(QtFileDialogs, SaveDialogCarriesTheRequestAndAddsTheDefaultExtension) {
    TempFolder folder;
    SaveDialogRequest request{"Enregistrer sous ...",
                              (folder.path / "kesp.txt").string(),
                              folder.path.string(),
                              "txt",
                              {{"Fichiers texte", "*.txt"}, {"Tous les fichiers", "*"}}};
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Enregistrer sous ...");
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(dialog->nameFilters(),
                  QStringList({"Fichiers texte (*.txt)", "Tous les fichiers (*)"}));
        EXPECT_EQ(dialog->defaultSuffix(), "txt");
        EXPECT_EQ(dialog->directory().absolutePath().toStdString(), folder.path.string());
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        EXPECT_EQ(name->text(), "kesp.txt");
        name->setText("bilan");
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto chosen = QtFileDialogs().saveFile(request);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (folder.path / "bilan.txt").string());
}

TEST(QtFileDialogs, ReplacingAnExistingFileIsConfirmedFirst) {
    TempFolder folder;
    std::ofstream(folder.path / "bilan.txt") << "old";
    QString question;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText("bilan.txt");
        whenModal<QMessageBox>([&](QMessageBox* box) {
            question = box->text();
            box->button(QMessageBox::Yes)->click();
        });
        static_cast<QDialog*>(dialog)->accept();
    });
    const auto chosen = QtFileDialogs().saveFile({"Enregistrer sous ...",
                                                  (folder.path / "kesp.txt").string(),
                                                  folder.path.string(),
                                                  "txt",
                                                  {}});
    EXPECT_TRUE(question.contains("bilan.txt")) << question.toStdString();
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, (folder.path / "bilan.txt").string());
}

// The program keeps no settings: a dialog must not leave its last folder in ~/.config. HOME is
// set before the first dialog of this process, which is when Qt reads it.
TEST(QtFileDialogs, NoDialogWritesASettingsFile) {
    TempFolder home;
    TempFolder work;
    setenv("HOME", home.path.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    for (bool accept : {true, false}) {
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            dialog->findChild<QLineEdit*>("fileNameEdit")->setText("bilan.txt");
            if (accept)
                static_cast<QDialog*>(dialog)->accept();
            else
                dialog->reject();
        });
        QtFileDialogs().saveFile(
            {"t", (work.path / "kesp.txt").string(), work.path.string(), "txt", {}});
    }
    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QtFileDialogs().openFile({"Ouvrir", work.path.string(), {}});
    whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
    QtFileDialogs().printDialog("Impression");
    std::vector<std::string> left;
    for (const auto& entry : fs::recursive_directory_iterator(home.path))
        left.push_back(entry.path().string());
    EXPECT_TRUE(left.empty()) << ::testing::PrintToString(left);
}

TEST(QtFileDialogs, CancelledSaveGivesNothing) {
    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(QtFileDialogs().saveFile({"t", "/tmp/kesp.txt", "/tmp", "txt", {}}));
}

TEST(QtFileDialogs, PrintDialogIsTitledAndReportsTheAnswer) {
    whenModal<QPrintDialog>([](QPrintDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Impression");
        dialog->reject();
    });
    EXPECT_FALSE(QtFileDialogs().printDialog("Impression"));
    whenModal<QPrintDialog>([](QPrintDialog* dialog) { static_cast<QDialog*>(dialog)->accept(); });
    const auto choice = QtFileDialogs().printDialog("Impression");
    ASSERT_TRUE(choice);
    // Accepted as it opens: the default printer, or printing to a PDF file when there is none.
    const QString defaultPrinter = QPrinterInfo::defaultPrinterName();
    if (defaultPrinter.isEmpty()) {
        EXPECT_FALSE(choice->pdfFile.empty());
        EXPECT_TRUE(choice->printer.empty()) << choice->printer;
    } else {
        EXPECT_EQ(choice->printer, defaultPrinter.toStdString());
        EXPECT_EQ(choice->copies, 1);
    }
}

TEST(QtPdfWriter, TheReportsLinesAsTheyStandAccentsIncluded) {
    if (!fs::exists("/usr/bin/pdftotext"))
        GTEST_SKIP() << "pdftotext is not installed (scripts/deps.sh installs poppler-utils)";
    TempFolder folder;
    const fs::path report = folder.path / "~qkres1.tmp";
    const std::vector<std::string> lines = {"Répertoire : /srv/données/Été",
                                            " Taille utile     :         5 906 octets",
                                            "     Espace perdu :         2 286 octets"};
    {
        std::ofstream out(report, std::ios::binary);
        for (const std::string& line : lines)
            out << line << "\r\n";
    }
    const fs::path pdf = folder.path / "rapport.pdf";
    EXPECT_EQ(QtPdfWriter().writeTextAsPdf(report.string(), pdf.string()), "");
    const fs::path text = folder.path / "rapport.txt";
    ASSERT_EQ(
        std::system(("pdftotext -layout '" + pdf.string() + "' '" + text.string() + "'").c_str()),
        0);
    const std::string extracted = readFile(text);
    // Monospaced and unwrapped, -layout gives the columns back with their spaces.
    for (const std::string& line : lines)
        EXPECT_NE(extracted.find(line), std::string::npos) << line << "\nin:\n" << extracted;

    const std::string refused =
        QtPdfWriter().writeTextAsPdf(report.string(), (folder.path / "absent/r.pdf").string());
    EXPECT_EQ(refused.rfind("Écriture de " + (folder.path / "absent/r.pdf").string(), 0), 0u)
        << refused;
}

TEST(QtProgramLauncher, MissingProgramIsErrorFiftyThreeAndOneThatCannotRunAnother) {
    QtProgramLauncher launcher;
    EXPECT_EQ(launcher.start({"kesp-no-such-program"}).error, kErrorFileNotFound);
    EXPECT_EQ(launcher.start({"/nonexistent/bin/lp", "x"}, [](int, const std::string&) {}).error,
              kErrorFileNotFound);
    TempFolder folder;
    const fs::path script = folder.path / "not-executable";
    std::ofstream(script) << "#!/bin/sh\n";
    fs::permissions(script, fs::perms(0644));
    const LaunchResult result = launcher.start({script.string()});
    EXPECT_EQ(result.error, kErrorCannotStart);
    EXPECT_FALSE(result.description.empty());
}

TEST(QtProgramLauncher, ArgumentsReachTheProgramWholeAndFinishedCarriesStatusAndErrors) {
    TempFolder folder;
    const std::string odd = "dossier avec blancs;$(touch pwned) \"q\" *";
    const fs::path out = folder.path / "argument";
    bool done = false;
    int status = 0;
    std::string errors;
    QtProgramLauncher launcher;
    const LaunchResult result =
        launcher.start({"sh", "-c",
                        "printf '%s|%s' \"$1\" \"$#\" > \"$2\"; "
                        "echo 'lp: Error - No default destination.' >&2; exit 1",
                        "sh", odd, out.string()},
                       [&](int exitStatus, const std::string& stderrText) {
                           status = exitStatus;
                           errors = stderrText;
                           done = true;
                       });
    ASSERT_EQ(result.error, 0);
    EXPECT_FALSE(done) << "start must not wait for the program";
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 10000));
    EXPECT_EQ(readFile(out), odd + "|2");
    EXPECT_FALSE(fs::exists("pwned"));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(errors, "lp: Error - No default destination.\n");
}

TEST(QtProgramLauncher, WatchedStartReportsOnlyAFailureWithinItsWindow) {
    QtProgramLauncher launcher;
    const struct {
        const char* script;
        int windowMs;
        bool reported;
    } cases[] = {
        {"echo refused >&2; exit 3", 10000, true},
        {"exit 0", 10000, false},
        {"exit 3", -1, false}, // already past its window
    };
    for (const auto& c : cases) {
        int status = 0;
        std::string errors;
        bool reported = false;
        ASSERT_EQ(launcher
                      .startWatched({"sh", "-c", c.script}, c.windowMs,
                                    [&](int exitStatus, const std::string& stderrText) {
                                        status = exitStatus;
                                        errors = stderrText;
                                        reported = true;
                                    })
                      .error,
                  0);
        // The program is done well within this; a report would have arrived.
        QTest::qWait(300);
        if (c.reported) (void)QTest::qWaitFor([&] { return reported; }, 10000);
        EXPECT_EQ(reported, c.reported) << c.script;
        if (c.reported) {
            EXPECT_EQ(status, 3);
            EXPECT_EQ(errors, "refused\n");
        }
    }
}

TEST(QtProgramLauncher, DetachedStartRuns) {
    TempFolder folder;
    const fs::path marker = folder.path / "started";
    QtProgramLauncher launcher;
    ASSERT_EQ(launcher.start({"touch", marker.string()}).error, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fs::exists(marker); }, 10000));
}

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls << url; }
};

TEST(QtProgramLauncher, DesktopOpenerGetsFileUrlsForPathsAndAddressesUnchanged) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    QDesktopServices::setUrlHandler("mailto", &recorder, "open");
    QtProgramLauncher launcher;
    EXPECT_TRUE(launcher.openWithDesktop("/opt/mes outils/kespaide.mht"));
    EXPECT_TRUE(launcher.openWithDesktop("mailto:kesp@example.org?subject=Kesp 2005"));
    QDesktopServices::unsetUrlHandler("file");
    QDesktopServices::unsetUrlHandler("mailto");
    ASSERT_EQ(recorder.urls.size(), 2);
    EXPECT_EQ(recorder.urls[0].toLocalFile(), "/opt/mes outils/kespaide.mht");
    EXPECT_EQ(recorder.urls[1].scheme(), "mailto");
    EXPECT_EQ(recorder.urls[1].path(), "kesp@example.org");
    EXPECT_EQ(recorder.urls[1].query(), "subject=Kesp 2005");
}

// The help command end to end: PATH decides which stage runs.
class HelpThroughPath : public ::testing::Test {
protected:
    void SetUp() override { savedPath = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", savedPath); }
    QByteArray savedPath;
    TempFolder folder;
    testing::FakeDialogs dialogs;
    testing::RecordingBoxes boxes;
    QtProgramLauncher launcher;
    QtPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
};

TEST_F(HelpThroughPath, XdgOpenGetsTheDocumentPathAsItsOnlyArgument) {
    const fs::path stub = folder.path / "xdg-open";
    const fs::path seen = folder.path / "seen";
    std::ofstream(stub) << "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > '" << seen.string() << "'\n";
    fs::permissions(stub, fs::perms(0755));
    qputenv("PATH", QByteArray::fromStdString(folder.path.string()) + ":/usr/bin:/bin");
    aide_Click("/opt/mes outils/kespaide.mht", services);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !readFile(seen).empty(); }, 10000));
    EXPECT_EQ(readFile(seen), "1|/opt/mes outils/kespaide.mht");
    // Its end is awaited too, and reported as no failure.
    ASSERT_TRUE(QTest::qWaitFor([&] { return launcher.running() == 0; }, 10000));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HelpThroughPath, XdgOpenThatFindsNoApplicationGetsOneFrenchSentenceThePathAndItsReason) {
    // As xdg-open does without a browser: every one it tried, then its reason.
    const fs::path stub = folder.path / "xdg-open";
    std::ofstream(stub) << "#!/bin/sh\nfor b in www-browser links2 elinks links lynx w3m; do\n"
                           "  echo \"/usr/bin/xdg-open: 882: $b: not found\" >&2\ndone\n"
                           "echo \"xdg-open: no method available for opening '$1'\" >&2\n"
                           "exit 3\n";
    fs::permissions(stub, fs::perms(0755));
    qputenv("PATH", QByteArray::fromStdString(folder.path.string()) + ":/usr/bin:/bin");
    aide_Click("/usr/share/kesp/kespaide.html", services);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, 10000));
    EXPECT_EQ(boxes.shown[0].title, "Problème ! ...");
    EXPECT_EQ(boxes.shown[0].text,
              "Aucune application ne peut ouvrir l'aide.\r\n/usr/share/kesp/kespaide.html\r\n"
              "xdg-open: no method available for opening '/usr/share/kesp/kespaide.html'");
}

TEST_F(HelpThroughPath, WithoutXdgOpenTheDesktopGetsTheFileUrl) {
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler("file", &recorder, "open");
    qputenv("PATH", QByteArray::fromStdString(folder.path.string()));
    aide_Click("/opt/kesp/kespaide.mht", services);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(recorder.urls.size(), 1);
    EXPECT_EQ(recorder.urls[0], QUrl::fromLocalFile("/opt/kesp/kespaide.mht"));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace kesp

#include "qt_backends_test.moc"
