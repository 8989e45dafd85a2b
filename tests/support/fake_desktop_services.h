#pragma once
// Scriptable stand-ins for the dialogs, message boxes, launcher and program environment: answers
// are queued before the command runs, and every call is recorded for the test to inspect.
#include <ctime>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "os/dialogs.h"
#include "os/environment.h"
#include "os/launcher.h"
#include "os/message_box.h"
#include "os/pdf_writer.h"

namespace kesp::testing {

class FakeDialogs : public FileDialogs {
public:
    std::deque<std::optional<std::string>> saveAnswers;
    std::deque<bool> printAnswers;
    PrintChoice printChoice; // what a confirmed print dialog answers
    std::vector<SaveDialogRequest> saveRequests;
    std::vector<std::string> printTitles;
    std::deque<std::optional<std::string>> openAnswers;
    std::vector<OpenDialogRequest> openRequests;

    std::optional<std::string> saveFile(const SaveDialogRequest& request) override {
        saveRequests.push_back(request);
        if (saveAnswers.empty()) {
            ADD_FAILURE() << "unexpected save dialog";
            return std::nullopt;
        }
        auto answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> openFile(const OpenDialogRequest& request) override {
        openRequests.push_back(request);
        if (openAnswers.empty()) {
            ADD_FAILURE() << "unexpected open dialog";
            return std::nullopt;
        }
        auto answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    std::optional<PrintChoice> printDialog(const std::string& title) override {
        printTitles.push_back(title);
        if (printAnswers.empty()) {
            ADD_FAILURE() << "unexpected print dialog";
            return std::nullopt;
        }
        const bool answer = printAnswers.front();
        printAnswers.pop_front();
        if (!answer) return std::nullopt;
        return printChoice;
    }
};

struct ShownBox {
    std::string text;
    std::string title;
    MessageIcon icon;
};

// Records what it was asked to write; `refusal` is returned as the reason.
class RecordingPdfWriter : public PdfWriter {
public:
    std::vector<std::pair<std::string, std::string>> written; // (text file, PDF file)
    std::string refusal;
    std::string writeTextAsPdf(const std::string& textFile, const std::string& pdfFile) override {
        written.emplace_back(textFile, pdfFile);
        return refusal;
    }
};

class RecordingBoxes : public MessageBoxes {
public:
    std::vector<ShownBox> shown;
    int beeps = 0;
    void show(const std::string& text, const std::string& title, MessageIcon icon) override {
        shown.push_back({text, title, icon});
    }
    void beep() override { ++beeps; }
};

class FakeLauncher : public ProgramLauncher {
public:
    using Finished = std::function<void(int, const std::string&)>;
    std::deque<LaunchResult> startAnswers; // empty: every start succeeds
    std::deque<bool> desktopAnswers;       // empty: the desktop fails
    std::vector<std::vector<std::string>> started;
    std::vector<Finished> finishedCallbacks;
    std::vector<std::string> desktopOpened;

    LaunchResult start(const std::vector<std::string>& argv, Finished finished) override {
        started.push_back(argv);
        finishedCallbacks.push_back(std::move(finished));
        if (startAnswers.empty()) return {};
        auto answer = startAnswers.front();
        startAnswers.pop_front();
        return answer;
    }
    // Recorded as a start; its callback is the failure one.
    LaunchResult startWatched(const std::vector<std::string>& argv, int, Finished failed) override {
        return start(argv, std::move(failed));
    }
    bool openWithDesktop(const std::string& pathOrAddress) override {
        desktopOpened.push_back(pathOrAddress);
        if (desktopAnswers.empty()) return false;
        const bool answer = desktopAnswers.front();
        desktopAnswers.pop_front();
        return answer;
    }
};

class FakeEnvironment : public ProgramEnvironment {
public:
    std::map<std::string, std::string> variables;
    std::string program = "/opt/kesp/bin/kesp";
    std::optional<std::tm> date = std::tm{}; // none: the program's date cannot be read
    std::vector<std::string> asked;          // the files whose date was read
    std::set<std::string> missing;           // files that do not exist, whatever `date` says
    std::string documents = "/home/u/Documents";

    std::optional<std::string> variable(const std::string& name) override {
        auto it = variables.find(name);
        if (it == variables.end()) return std::nullopt;
        return it->second;
    }
    std::string programFile() override { return program; }
    bool lastModified(const std::string& path, std::tm& local) override {
        asked.push_back(path);
        if (!date || missing.count(path)) return false;
        local = *date;
        return true;
    }
    std::string documentsFolder() override { return documents; }
};

} // namespace kesp::testing
