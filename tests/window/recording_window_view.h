#pragma once
// A WindowView that records its calls after RecordingScanView's and behaves as a window's
// widgets do: Drive1 reports a moved selection to the controller, nested; Dir1 takes the folder
// it is shown.
#include <optional>

#include "support/recording_scan_view.h"
#include "window/form1_controller.h"

namespace kesp::test {

class RecordingWindowView : public BasicRecordingScanView<WindowView> {
public:
    Form1Controller* controller = nullptr;
    std::vector<std::string> entries;
    int selected = -1;

    std::string driveText() override {
        return selected < 0 ? std::string() : entries[static_cast<std::size_t>(selected)];
    }
    void setDriveEntries(const std::vector<std::string>& list, int index) override {
        entries = list;
        selected = index;
        calls.push_back("setDriveEntries(" + std::to_string(list.size()) + "," +
                        std::to_string(index) + ")");
    }
    void setDriveText(const std::string& entry) override {
        calls.push_back("setDriveText(" + entry + ")");
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (entries[i] != entry || static_cast<int>(i) == selected) continue;
            selected = static_cast<int>(i);
            controller->Drive1_Change();
        }
    }
    void showFolders(const std::string& root, const std::string& path,
                     FolderEnumerator* folders) override {
        folder = path;
        calls.push_back("showFolders(" + root + "," + path + (folders ? ",image)" : ")"));
    }
    void setPlanEnabled(bool e) override {
        calls.push_back(e ? "setPlanEnabled(1)" : "setPlanEnabled(0)");
    }
    int refreshSeconds() override { return 3; }
    void setRefreshLabel(const std::string& text) override {
        calls.push_back("setRefreshLabel(" + text + ")");
    }
    void beep() override { calls.push_back("beep"); }
    void messageBox(const std::string& text, const std::string& t, MessageIcon) override {
        calls.push_back("messageBox(" + t + "|" + text + ")");
    }
    void showOpti(const TableOpti& table, const std::string& t) override {
        calls.push_back("showOpti(" + t + "," + std::to_string(table.cellules.size()) + ")");
    }
    void showPlan(plan::PlanWindowModel) override { calls.push_back("showPlan"); }
    void closePlan() override { calls.push_back("closePlan"); }
    void setBalanceEnabled(bool e, const std::string& t) override {
        balanceTip = t;
        calls.push_back(e ? "setBalanceEnabled(1)" : "setBalanceEnabled(0)");
    }
    void showBalance(plan::BalanceWindowModel model) override {
        balanceShown.emplace(std::move(model));
        calls.push_back("showBalance");
    }
    void closeBalance() override { calls.push_back("closeBalance"); }
    std::string balanceTip;
    std::optional<plan::BalanceWindowModel> balanceShown;
    void showAbout() override { calls.push_back("showAbout"); }
};

} // namespace kesp::test
