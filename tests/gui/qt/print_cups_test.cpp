// Printing for real: a private cupsd with a file-device queue on the Generic PDF driver, made the
// default; the report goes through Imprimer_Click and lp, and comes out as a PDF.
#include <QRawFont>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sstream>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "gui/qt/qt_pdf_writer.h"
#include "gui/qt/qt_program_launcher.h"
#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/temp_dir.h"
#include "window/commands.h"

extern char** environ;

namespace kesp {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::RecordingBoxes;

using test::readFile;

// Runs a program to its end; its output goes to `log`.
int run(const std::vector<std::string>& argv, const fs::path& log) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PrivateCups : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (geteuid() != 0) {
            skipReason = "cupsd needs root to run its filters as lp";
            return;
        }
        if (access("/usr/sbin/cupsd", X_OK) != 0 || access("/usr/sbin/lpadmin", X_OK) != 0) {
            skipReason = "cups is not installed (scripts/deps.sh installs it)";
            return;
        }
        const group* lp = getgrnam("lp");
        if (lp == nullptr) {
            skipReason = "no lp group";
            return;
        }
        std::string pattern = "/tmp/kesp-cups-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            skipReason = std::strerror(errno);
            return;
        }
        dir = pattern;
        fs::permissions(dir, fs::perms(0755));
        for (const char* sub : {"etc/ppd", "spool", "tmp", "cache", "state", "log", "run"})
            fs::create_directories(dir / sub);
        for (const auto& [sub, mode] : std::vector<std::pair<const char*, int>>{
                 {"spool", 0710}, {"tmp", 01770}, {"cache", 0770}, {"state", 0770}}) {
            if (chown((dir / sub).c_str(), 0, lp->gr_gid) != 0) skipReason = "chown failed";
            fs::permissions(dir / sub, fs::perms(mode));
        }
        const std::string d = dir.string();
        std::ofstream(dir / "etc/cups-files.conf")
            << "ServerRoot " << d << "/etc\nRequestRoot " << d << "/spool\nTempDir " << d
            << "/tmp\nCacheDir " << d << "/cache\nStateDir " << d << "/state\nAccessLog " << d
            << "/log/access_log\nErrorLog " << d << "/log/error_log\nPageLog " << d
            << "/log/page_log\nPrintcap " << d
            << "/state/printcap\nFileDevice Yes\nSystemGroup root\nUser lp\nGroup lp\n";
        // Only a socket of its own: parallel runs never meet on a port.
        socket = dir / "run/cups.sock";
        std::ofstream(dir / "etc/cupsd.conf")
            << "LogLevel warn\nListen " << socket.string()
            << "\nBrowsing No\nBrowseLocalProtocols none\nDefaultAuthType None\nWebInterface No\n"
               "<Location />\n  Order allow,deny\n  Allow localhost\n</Location>\n"
               "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";

        const std::string conf = d + "/etc/cupsd.conf", files = d + "/etc/cups-files.conf";
        const char* argv[] = {"/usr/sbin/cupsd", "-f",   "-c", conf.c_str(), "-s",
                              files.c_str(),     nullptr};
        // Its output goes to a file, not to ctest's pipe, and it dies with this process: a
        // crashed test must not leave a daemon that keeps ctest waiting.
        const std::string daemonLog = d + "/log/cupsd.out";
        const pid_t parent = getpid();
        cupsd = fork();
        if (cupsd == 0) {
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            if (getppid() != parent) _exit(127);
            const int fd = open(daemonLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            dup2(fd, 1);
            dup2(fd, 2);
            execv(argv[0], const_cast<char**>(argv));
            _exit(127);
        }
        if (cupsd < 0) {
            skipReason = "cupsd cannot be started";
            cupsd = 0;
            return;
        }
        setenv("CUPS_SERVER", socket.c_str(), 1);
        for (int i = 0; i < 100 && !fs::exists(socket); ++i)
            usleep(100'000);
        output = dir / "out.pdf";
        const fs::path log = dir / "log/lpadmin.log";
        if (!fs::exists(socket) ||
            run({"lpadmin", "-p", "kesppdf", "-E", "-v", "file://" + output.string(), "-m",
                 "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd"},
                log) != 0 ||
            run({"lpadmin", "-p", "kespautre", "-E", "-v", "file://" + (dir / "autre.pdf").string(),
                 "-m", "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd"},
                log) != 0 ||
            run({"lpadmin", "-d", "kesppdf"}, log) != 0)
            setupError = "private cupsd did not take the queue: " + readFile(log) +
                         readFile(dir / "log/error_log");
    }

    static void TearDownTestSuite() {
        if (cupsd > 0) {
            kill(cupsd, SIGTERM);
            int status = 0;
            waitpid(cupsd, &status, 0);
        }
        unsetenv("CUPS_SERVER");
        if (!dir.empty()) fs::remove_all(dir);
    }

    void SetUp() override {
        if (!skipReason.empty()) GTEST_SKIP() << skipReason;
        ASSERT_EQ(setupError, "");
    }

    static inline std::string skipReason, setupError;
    static inline fs::path dir, socket, output;
    static inline pid_t cupsd = 0;
};

// The printed text without the PJL wrapper the PDF driver adds.
std::string pdfText(const fs::path& printed, const fs::path& work) {
    const std::string raw = readFile(printed);
    const auto begin = raw.find("%PDF");
    const auto end = raw.rfind("%%EOF");
    if (begin == std::string::npos || end == std::string::npos) return {};
    std::ofstream(work / "clean.pdf", std::ios::binary) << raw.substr(begin, end + 5 - begin);
    if (run({"pdftotext", (work / "clean.pdf").string(), (work / "text.txt").string()},
            work / "pdftotext.log") != 0)
        return {};
    return readFile(work / "text.txt");
}

// texttopdf embeds its monospace font with glyph numbers as character codes and no map back to
// text, so pdftotext yields glyph numbers. The expected lines go through the same font's cmap,
// which checks every glyph drawn, accents included.
std::string asGlyphCodes(const std::string& line, const QRawFont& font) {
    const QString text = QString::fromStdString(line);
    QString codes;
    for (quint32 glyph : font.glyphIndexesForString(text))
        codes += QChar(static_cast<char16_t>(glyph));
    return codes.toStdString();
}

TEST_F(PrivateCups, TheReportIsPrintedWholeAccentsIncluded) {
    const fs::path folder = dir / "dossier temp";
    fs::create_directories(folder);
    const fs::path report = folder / "~qkres1.tmp";
    const std::vector<std::string> lines = {
        "Kesp 2005 Version 2.0.5", "Répertoire : /srv/données/Été", "Taille utile : 1 234 octets",
        "Taille réelle : 4 096 octets", "Demande annulée avant la fin !!"};
    {
        std::ofstream out(report, std::ios::binary);
        for (const std::string& line : lines)
            out << line << "\r\n";
    }

    FakeDialogs dialogs;
    dialogs.printAnswers = {true};
    RecordingBoxes boxes;
    QtProgramLauncher launcher;
    QtPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
    Imprimer_Click(report.string(), services);

    std::string text;
    const bool printed = QTest::qWaitFor(
        [&] {
            if (fs::exists(output) && readFile(output).find("%%EOF") != std::string::npos)
                text = pdfText(output, dir);
            return !text.empty();
        },
        60000);
    ASSERT_TRUE(printed) << readFile(dir / "log/error_log");
    QTest::qWait(200); // lp's own exit, should it report anything
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    const fs::path fontLog = dir / "log/font.txt";
    ASSERT_EQ(run({"fc-match", "-f", "%{file}", "monospace"}, fontLog), 0);
    const QRawFont font(QString::fromStdString(readFile(fontLog)), 10);
    ASSERT_TRUE(font.isValid()) << readFile(fontLog);
    for (const std::string& line : lines) {
        const std::string codes = asGlyphCodes(line, font);
        ASSERT_EQ(QString::fromStdString(codes).size(), QString::fromStdString(line).size());
        EXPECT_NE(text.find(codes), std::string::npos) << line << "\nin:\n" << text;
    }
}

TEST_F(PrivateCups, ThePrinterChosenInTheDialogIsTheOneUsed) {
    const fs::path report = dir / "choisie.txt";
    std::ofstream(report, std::ios::binary) << "Imprimante choisie\r\n";
    const fs::path other = dir / "autre.pdf";
    const auto defaultSize = fs::exists(output) ? fs::file_size(output) : 0;

    FakeDialogs dialogs;
    dialogs.printAnswers = {true};
    dialogs.printChoice = {"kespautre", 1, ""};
    RecordingBoxes boxes;
    QtProgramLauncher launcher;
    QtPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
    Imprimer_Click(report.string(), services);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return fs::exists(other) && readFile(other).find("%%EOF") != std::string::npos; },
        60000))
        << readFile(dir / "log/error_log");
    EXPECT_TRUE(boxes.shown.empty()) << boxes.shown[0].text;
    EXPECT_EQ(fs::exists(output) ? fs::file_size(output) : 0, defaultSize)
        << "the default queue printed too";
}

TEST(PrintRefusal, LpWithoutASchedulerIsShownWithItsMessage) {
    if (access("/usr/bin/lp", X_OK) != 0)
        GTEST_SKIP() << "lp is not installed (scripts/deps.sh installs cups-client)";
    setenv("CUPS_SERVER", "/nonexistent/kesp/cups.sock", 1);
    FakeDialogs dialogs;
    dialogs.printAnswers = {true};
    RecordingBoxes boxes;
    QtProgramLauncher launcher;
    QtPdfWriter pdf;
    LpPrinter printer{launcher};
    OutputServices services{dialogs, boxes, launcher, &pdf, printer};
    Imprimer_Click("/etc/hostname", services);
    EXPECT_TRUE(boxes.shown.empty()) << "the command returned before lp ended";
    ASSERT_TRUE(QTest::qWaitFor([&] { return !boxes.shown.empty(); }, 30000));
    unsetenv("CUPS_SERVER");
    EXPECT_EQ(boxes.shown[0].title, "Impression");
    const std::string& text = boxes.shown[0].text;
    EXPECT_EQ(text.rfind("L'impression de /etc/hostname a été refusée (code de sortie 1).\r\n", 0),
              0u)
        << text;
    EXPECT_NE(text.find("lp: Error - "), std::string::npos) << text;
}

} // namespace
} // namespace kesp
