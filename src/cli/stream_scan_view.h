#pragma once
// The window of kesp-scan: List1 lines go to `out` as they come, List3 is kept for the end of
// the run, the status panels are one line rewritten in place on `status` (a terminal) or shown
// nowhere. An interrupt noticed in pump() is delivered as a second press of OK.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

namespace kesp {

class StreamScanView final : public ScanView {
public:
    struct Setup {
        std::string drive;
        std::string folder;
        bool subFolders = true;
        std::function<bool()> interrupted; // polled at every hand-over
    };

    StreamScanView(std::ostream& out, std::ostream& err, std::ostream* status, Setup setup,
                   EtatScan& etat, ScanServices& services);

    const std::vector<std::string>& list3() const { return list3_; }
    bool failed() const { return failed_; }
    // Ends the status line, if one was drawn.
    void finishStatus();

    std::string okCaption() override { return caption_; }
    void setOkCaption(const std::string& caption) override { caption_ = caption; }
    void setOkEnabled(bool enabled) override { okEnabled_ = enabled; }
    void setDriveEnabled(bool) override {}
    void setFolderEnabled(bool) override {}
    void setToolButtonEnabled(int, bool) override {}
    void setMenuEnabled(MenuItem, bool) override {}
    void setBusy(bool) override {}
    void clearList1() override {}
    void clearList3() override { list3_.clear(); }
    void appendList1(const std::string& line) override;
    void appendList3(const std::string& line) override { list3_.push_back(line); }
    void setStatusPanel(int position, const std::string& text) override;
    void setTitle(const std::string&) override {}
    std::string driveText() override { return setup_.drive; }
    std::string folderPath() override { return setup_.folder; }
    CheckState subFolders() override {
        return setup_.subFolders ? CheckState::Ticked : CheckState::Clear;
    }
    void closeOpti() override {}
    void pump() override;
    void poll() override;
    void showError(const std::string& text, const std::string& title) override;

private:
    void pressIfInterrupted();

    std::ostream& out_;
    std::ostream& err_;
    std::ostream* status_;
    Setup setup_;
    EtatScan& etat_;
    ScanServices& services_;
    std::string caption_;
    std::vector<std::string> list3_;
    std::string panels_[3];
    bool okEnabled_ = true;
    bool panelsChanged_ = false;
    bool statusDrawn_ = false;
    bool cancelPressed_ = false;
    bool failed_ = false;
};

} // namespace kesp
