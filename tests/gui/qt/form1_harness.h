#pragma once
// Form1 over fakes: an in-memory volume table and folder tree, a hand-moved clock, result files in
// memory (or on disk), recorded message boxes, dialogs and launches, and an exit that only
// records. Every service can be swapped before window() builds the window.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>

#include "gui/qt/form1.h"
#include "os/posix/lp_printer.h"
#include "support/fake_desktop_services.h"
#include "support/fake_ticks.h"
#include "support/fake_volume_service.h"
#include "support/memory_output_files.h"
#include "support/memory_tree.h"
#include "support/temp_dir.h"

namespace kesp::test {

using testing::FakeEnvironment;
using testing::FakeLauncher;
using testing::RecordingBoxes;

// Dialogs the user always cancels, counted.
class NoDialogs : public FileDialogs {
public:
    int saves = 0, prints = 0, opens = 0;
    std::optional<std::string> saveFile(const SaveDialogRequest&) override {
        ++saves;
        return std::nullopt;
    }
    std::deque<std::string> openAnswers; // the files chosen, in turn; then cancelled
    std::optional<std::string> openFile(const OpenDialogRequest&) override {
        ++opens;
        if (openAnswers.empty()) return std::nullopt;
        std::string chosen = openAnswers.front();
        openAnswers.pop_front();
        return chosen;
    }
    std::optional<PrintChoice> printDialog(const std::string&) override {
        ++prints;
        return std::nullopt;
    }
};

struct Harness {
    TempDir base;
    std::string fatRoot =
        base.folder("f") + "/"; // a real folder: Dir1 only shows folders that exist
    std::string temp = base.folder("temp");
    FakeVolumeService volumes;
    MemoryTree tree;
    FakeTicks ticks{0, 0};
    MemoryOutputFiles memoryFiles;
    OutputFiles* files = &memoryFiles;
    FolderEnumerator* folders = &tree;
    VolumeService* volumeService = &volumes;
    ImageVolumes* images = nullptr;
    RecordingBoxes boxes;
    FakeEnvironment environment;
    NoDialogs dialogs;
    FakeLauncher launcher;
    LpPrinter printer{launcher};
    std::vector<int> exits;
    // Replaces the recording of FinProgramme's exit (a child process that really ends).
    std::function<void(int)> onExit;
    std::unique_ptr<Form1> form;

    // "/" as ext4 (the start-up drive) and a FAT32 volume at fatRoot with 4096-byte clusters.
    Harness() {
        volumes.add("/", "ext4");
        volumes.add(fatRoot, "FAT32", "KESPF32");
        environment.variables["temp"] = temp;
    }
    std::string fatEntry() { return FakeVolumeService::entryOf(*volumes.find(fatRoot)); }

    Form1& window() {
        if (!form)
            form = std::make_unique<Form1>(Form1Services{*volumeService, *folders, ticks, *files,
                                                         boxes, environment, dialogs, launcher,
                                                         printer, NumberChars{},
                                                         [this](int status) {
                                                             exits.push_back(status);
                                                             if (onExit) onExit(status);
                                                         },
                                                         images});
        return *form;
    }

    template <typename T> T* child(const char* name) {
        return window().findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* ok() { return child<QPushButton>("OK"); }
    QAction* menuItem(const char* name) { return child<QAction>(name); }
    // The run's numbered positions 1 to 7; the plan's button sits among them on screen only.
    QAction* toolButton(int position) {
        auto actions = child<QToolBar>("Toolbar1")->actions();
        actions.removeAll(window().planAction());
        return actions[position - 1];
    }
    // Selects `entry` in Drive1 as the user does.
    void chooseDrive(const std::string& entry) {
        auto* drive1 = child<QComboBox>("Drive1");
        const int index = drive1->findText(QString::fromStdString(entry));
        EXPECT_GE(index, 0) << entry << " is not in Drive1";
        drive1->setCurrentIndex(index);
    }
    // Scans the FAT volume's root from the window, as the user does.
    void scanFat() {
        chooseDrive(fatEntry());
        QTest::mouseClick(ok(), Qt::LeftButton);
    }
    // Help reached either launch stage.
    std::size_t helpOpenings() const {
        return launcher.started.size() + launcher.desktopOpened.size();
    }

    // Ends a child process, which runs no destructors: the folder goes first.
    [[noreturn]] void exitNow(int status) {
        std::error_code ec;
        std::filesystem::remove_all(base.path(), ec);
        std::_Exit(status);
    }

    // Lets queued work run (model flushes, folder tree loads).
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
};

} // namespace kesp::test
