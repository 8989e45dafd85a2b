// The window's scan of a folder tree, offscreen, from the press of OK to the end of the run.
// The tree's folder is presented as a FAT32 drive with 4096-byte clusters; the walk, the lists
// and the result files are the real ones.
//   window_scan_bench FOLDER [RUNS]
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "gui/qt/append_list_model.h"
#include "gui/qt/form1.h"
#include "os/posix/environment.h"
#include "os/posix/folder_enum_posix.h"
#include "os/posix/lp_printer.h"
#include "os/posix/output_files_posix.h"
#include "os/posix/ticks_posix.h"

namespace {

using namespace kesp;

class TreeAsFat32 : public VolumeService {
public:
    explicit TreeAsFat32(std::string folder) : entry_(std::move(folder)), root_(entry_ + "/") {}
    std::vector<std::string> drives() override { return {entry_}; }
    std::optional<std::string> rootPath(const std::string&) override { return root_; }
    bool probeRoot(const std::string&) override { return true; }
    bool volumeInformation(const std::string&, VolumeInformation& info) override {
        info = {};
        info.fileSystem = "FAT32";
        return true;
    }
    bool diskFreeSpace(const std::string&, std::uint32_t& spc, std::uint32_t& bps) override {
        spc = 8;
        bps = 512;
        return true;
    }
    int readiness(const std::string&) override { return 0; }
    std::string driveOf(const std::string&) override { return entry_; }
    std::uint64_t totalMegabytes(const std::string&) override { return 0; }

private:
    std::string entry_, root_;
};

class TempFolderEnvironment : public PosixEnvironment {
public:
    explicit TempFolderEnvironment(std::string temp) : temp_(std::move(temp)) {}
    std::optional<std::string> variable(const std::string& name) override {
        if (name == "temp") return temp_;
        return PosixEnvironment::variable(name);
    }

private:
    std::string temp_;
};

class SilentBoxes : public MessageBoxes {
public:
    void show(const std::string& text, const std::string& title, MessageIcon) override {
        std::fprintf(stderr, "box: %s: %s\n", title.c_str(), text.c_str());
    }
    void beep() override {}
};

class NoDialogs : public FileDialogs {
public:
    std::optional<std::string> saveFile(const SaveDialogRequest&) override { return {}; }
    std::optional<std::string> openFile(const OpenDialogRequest&) override { return {}; }
    std::optional<PrintChoice> printDialog(const std::string&) override { return {}; }
};

class NoLauncher : public ProgramLauncher {
public:
    LaunchResult start(const std::vector<std::string>&,
                       std::function<void(int, const std::string&)>) override {
        return {kErrorFileNotFound, "not in a benchmark"};
    }
    LaunchResult startWatched(const std::vector<std::string>&, int,
                              std::function<void(int, const std::string&)>) override {
        return {kErrorFileNotFound, "not in a benchmark"};
    }
    bool openWithDesktop(const std::string&) override { return false; }
};

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_scan_bench FOLDER [RUNS]\n");
        return 2;
    }
    std::string folder = argv[1];
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const int runs = argc > 2 ? std::atoi(argv[2]) : 3;

    char temp[] = "/tmp/kesp-bench-XXXXXX";
    if (!mkdtemp(temp)) return 1;
    TreeAsFat32 volumes(folder);
    PosixFolderEnumerator folders;
    PosixTicks ticks;
    PosixOutputFiles files;
    SilentBoxes boxes;
    TempFolderEnvironment environment(temp);
    NoDialogs dialogs;
    NoLauncher launcher;
    LpPrinter printer(launcher);
    int exitStatus = -1;
    Form1 form({volumes, folders, ticks, files, boxes, environment, dialogs, launcher, printer,
                userNumberChars(), [&](int status) { exitStatus = status; }});
    // Start-up chose the folder "/"; the benchmark scans the tree's root.
    if (form.setFolderPath(folder + "/") != 0) {
        std::fprintf(stderr, "cannot show %s in Dir1\n", folder.c_str());
        return 1;
    }
    form.show();
    QApplication::processEvents();
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("OK"));
    if (!ok->isEnabled()) {
        std::fprintf(stderr, "the gate refused %s\n", folder.c_str());
        return 1;
    }

    qint64 best = -1;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        ok->click();
        const qint64 ms = clock.elapsed();
        best = best < 0 || ms < best ? ms : best;
        std::printf("window run %d: %lld ms\n", run + 1, static_cast<long long>(ms));
    }
    const EtatScan& etat = form.etat();
    std::printf("window: %llu folders, %llu files, %zu List1 lines, total real %llu bytes\n",
                static_cast<unsigned long long>(etat.NbRepertoires),
                static_cast<unsigned long long>(etat.NbFichiers), form.list1Model().lines().size(),
                static_cast<unsigned long long>(etat.TotalReel));
    std::printf("window best: %lld ms\n", static_cast<long long>(best));
    form.FinProgramme(); // deletes the result files in the private temporary folder
    rmdir(temp);
    return exitStatus == 0 ? 0 : 1;
}
