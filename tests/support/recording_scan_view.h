#pragma once
// A ScanView that records every call as one text line, in order, and keeps the state a window
// would show. onPump runs inside pump(): where a test presses OK again or flips SousRep. `Base`
// is the interface recorded: ScanView, or one that extends it.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "window/scan_view.h"

namespace kesp::test {

template <typename Base = ScanView> class BasicRecordingScanView : public Base {
public:
    std::vector<std::string> calls;
    std::string caption = "&Démarrer";
    bool okEnabled = true;
    std::vector<std::string> list1, list3;
    std::map<int, std::string> panels;
    std::string title;
    std::string drive = "/mnt/f";
    std::string folder = "/mnt/f/data";
    CheckState sousRep = CheckState::Ticked;
    std::vector<std::string> errors; // "title|text"
    int pumps = 0;
    std::function<void()> onPump;
    bool recordLists = true; // off for huge walks

    std::string okCaption() override { return caption; }
    void setOkCaption(const std::string& c) override {
        caption = c;
        record("setOkCaption(" + c + ")");
    }
    void setOkEnabled(bool e) override {
        okEnabled = e;
        record(std::string("setOkEnabled(") + (e ? "1" : "0") + ")");
    }
    void setDriveEnabled(bool e) override { record(flag("setDriveEnabled", e)); }
    void setFolderEnabled(bool e) override { record(flag("setFolderEnabled", e)); }
    void setToolButtonEnabled(int position, bool e) override {
        record(flag("setToolButtonEnabled(" + std::to_string(position), e, true));
    }
    void setMenuEnabled(MenuItem item, bool e) override {
        static const char* names[] = {"Enregistrer", "Imprimer", "optimiser"};
        record(flag(std::string("setMenuEnabled(") + names[static_cast<int>(item)], e, true));
    }
    void setBusy(bool b) override { record(flag("setBusy", b)); }
    void clearList1() override {
        list1.clear();
        record("clearList1");
    }
    void clearList3() override {
        list3.clear();
        record("clearList3");
    }
    void appendList1(const std::string& line) override {
        if (!recordLists) return;
        list1.push_back(line);
        record("appendList1(" + line + ")");
    }
    void appendList3(const std::string& line) override {
        list3.push_back(line);
        record("appendList3(" + line + ")");
    }
    void setStatusPanel(int position, const std::string& text) override {
        panels[position] = text;
        record("setStatusPanel(" + std::to_string(position) + "," + text + ")");
    }
    void setTitle(const std::string& t) override {
        title = t;
        record("setTitle(" + t + ")");
    }
    std::string driveText() override { return drive; }
    std::string folderPath() override { return folder; }
    CheckState subFolders() override { return sousRep; }
    void closeOpti() override { record("closeOpti"); }
    void pump() override {
        ++pumps;
        record("pump");
        if (onPump) onPump();
    }
    void showError(const std::string& text, const std::string& t) override {
        errors.push_back(t + "|" + text);
        record("showError(" + t + "|" + text + ")");
    }

    // The calls recorded since `from` whose text starts with `prefix`.
    std::vector<std::string> callsStartingWith(const std::string& prefix,
                                               std::size_t from = 0) const {
        std::vector<std::string> out;
        for (std::size_t i = from; i < calls.size(); ++i)
            if (calls[i].rfind(prefix, 0) == 0) out.push_back(calls[i]);
        return out;
    }

private:
    void record(std::string call) {
        if (recordLists || call.rfind("append", 0) != 0) calls.push_back(std::move(call));
    }
    static std::string flag(const std::string& name, bool e, bool open = false) {
        return name + (open ? "," : "(") + (e ? "1" : "0") + ")";
    }
};

using RecordingScanView = BasicRecordingScanView<>;

} // namespace kesp::test
