#pragma once
// A GateView that records every call as one text line, in order, and behaves like Form1's
// Drive1 and Dir1: setDriveText() to a different entry runs `onDriveChange` (the nested drive
// change), and setFolderPath() fails with the readiness of the drive it names.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/fake_volume_service.h"
#include "volume/gate_view.h"

namespace kesp::test {

class RecordingGateView : public GateView {
public:
    explicit RecordingGateView(FakeVolumeService& volumes) : volumes_(volumes) {}

    std::vector<std::string> calls;
    std::vector<std::string> list1;
    std::map<int, std::string> panels;
    bool okEnabled = true;
    std::string drive;
    std::string folder;
    std::function<void()> onDriveChange;
    int boxes = 0;

    void clearList1() override {
        list1.clear();
        calls.push_back("clearList1");
    }
    void appendList1(const std::string& line) override {
        list1.push_back(line);
        calls.push_back("appendList1(" + line + ")");
    }
    void setStatusPanel(int position, const std::string& text) override {
        panels[position] = text;
        calls.push_back("setStatusPanel(" + std::to_string(position) + "," + text + ")");
    }
    void setOkEnabled(bool enabled) override {
        okEnabled = enabled;
        calls.push_back(std::string("setOkEnabled(") + (enabled ? "1" : "0") + ")");
    }
    std::string driveText() override { return drive; }
    void setDriveText(const std::string& entry) override {
        calls.push_back("setDriveText(" + entry + ")");
        if (entry == drive) return;
        drive = entry;
        if (onDriveChange) onDriveChange();
    }
    std::string folderPath() override { return folder; }
    int setFolderPath(const std::string& path) override {
        calls.push_back("setFolderPath(" + path + ")");
        const int error = volumes_.readiness(path);
        if (error == 0) {
            auto* v = volumes_.find(path);
            folder = v ? v->root : path;
        }
        return error;
    }
    void beep() override { calls.push_back("beep"); }
    void messageBox(const std::string& text, const std::string& title, MessageIcon icon) override {
        ++boxes;
        calls.push_back("messageBox(" + text + "|" + title + "|" +
                        std::to_string(static_cast<int>(icon)) + ")");
    }

private:
    FakeVolumeService& volumes_;
};

} // namespace kesp::test
