#pragma once
// kesp-scan's side of the walk: each folder's block on `out` as it is measured, the running
// counts as one line rewritten in place on `status` (a terminal) or nowhere, and a stop asked of
// the walk when an interrupt arrives or `out` can no longer be written (`| head`).
#include <functional>
#include <ostream>
#include <string>

#include "os/number_chars.h"
#include "os/ticks.h"
#include "scan/scan_observer.h"
#include "scan/stop_token.h"

namespace kesp {

class ScanPrinter final : public ScanObserver {
public:
    struct Setup {
        std::ostream* status = nullptr;    // the running counts, or nowhere
        std::function<bool()> interrupted; // looked at before every entry
        bool escapeOut = false;            // `out` is a terminal: control bytes escaped
        std::string numberMask;
        NumberChars chars;
    };

    ScanPrinter(std::ostream& out, TickCounter& ticks, Setup setup);

    const StopToken& stop() const { return stop_; }
    // stdout could no longer be written: the walk was stopped as by a cancel.
    bool outputClosed() const { return outputClosed_; }
    // Draws the final counts of a completed run and ends the status line, if one was drawn.
    void finishStatus(const RunOutcome& outcome);

    void beforeEntry() override;
    void fileMeasured(const FileFigures& file, const WalkCounts& counts) override;
    void folderMeasured(const FolderFigures& folder) override;

private:
    void drawStatus(const std::string& folders, const std::string& files, const std::string& lost);

    std::ostream& out_;
    TickCounter& ticks_;
    Setup setup_;
    StopToken stop_;
    std::uint32_t lastDrawn_ = 0;
    bool statusDrawn_ = false;
    bool outputClosed_ = false;
};

} // namespace kesp
