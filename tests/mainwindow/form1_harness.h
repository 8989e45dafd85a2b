#pragma once
// Form1 over fakes: an in-memory volume table and folder tree, a hand-moved clock, result files in
// memory (or on disk), recorded message boxes, dialogs and launches, and an exit that only
// records. Every service can be swapped before window() builds the window.
#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/form1.h"
#include "support/fake_ticks.h"
#include "support/fake_volume_service.h"
#include "support/memory_output_files.h"
#include "support/memory_tree.h"
#include "support/temp_dir.h"

namespace kesp::test {

struct Box {
    std::string text, title;
    MessageIcon icon;
};

class RecordedBoxes : public MessageBoxes {
public:
    std::vector<Box> shown;
    int beeps = 0;
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    void beep() override { ++beeps; }
};

class FakeEnvironment : public ProgramEnvironment {
public:
    std::map<std::string, std::string> variables;
    std::string program = "/opt/kesp/bin/kesp";
    std::optional<std::string> variable(const std::string& name) override {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    }
    std::string programFile() override { return program; }
    bool lastModified(const std::string&, std::tm& local) override {
        local = std::tm{};
        local.tm_year = 105;
        local.tm_mday = 1;
        return true;
    }
};

class NoDialogs : public FileDialogs {
public:
    int saves = 0, prints = 0;
    std::optional<std::string> saveFile(const SaveDialogRequest&) override {
        ++saves;
        return std::nullopt;
    }
    bool printDialog(const std::string&) override {
        ++prints;
        return false;
    }
};

class RecordedLauncher : public ProgramLauncher {
public:
    std::vector<std::vector<std::string>> started;
    std::vector<std::string> opened;
    LaunchResult start(const std::vector<std::string>& argv,
                       std::function<void(int, const std::string&)>) override {
        started.push_back(argv);
        return {};
    }
    bool openWithDesktop(const std::string& target) override {
        opened.push_back(target);
        return true;
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
    RecordedBoxes boxes;
    FakeEnvironment environment;
    NoDialogs dialogs;
    RecordedLauncher launcher;
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
                                                         NumberChars{}, [this](int status) {
                                                             exits.push_back(status);
                                                             if (onExit) onExit(status);
                                                         }});
        return *form;
    }

    template <typename T> T* child(const char* name) {
        return window().findChild<T*>(QString::fromLatin1(name));
    }
    QPushButton* ok() { return child<QPushButton>("OK"); }

    // Lets queued work run (model flushes, folder tree loads).
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
};

} // namespace kesp::test
