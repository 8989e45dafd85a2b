#include "cli/stream_scan_view.h"

#include "cli/line_output.h"
#include "scan/result_lines.h"
#include "scan/scan_run.h"

namespace kesp {

StreamScanView::StreamScanView(std::ostream& out, std::ostream& err, std::ostream* status,
                               Setup setup, EtatScan& etat, ScanServices& services)
    : out_(out), err_(err), status_(status), setup_(std::move(setup)), etat_(etat),
      services_(services), caption_(kCaptionStart) {}

void StreamScanView::appendList1(const std::string& line) {
    writeLine(out_, line);
}

void StreamScanView::setStatusPanel(int position, const std::string& text) {
    if (position < 1 || position > 3 || panels_[position - 1] == text) return;
    panels_[position - 1] = text;
    panelsChanged_ = true;
}

void StreamScanView::pressIfInterrupted() {
    // Like a click, the interrupt only lands while OK can be pressed.
    if (okEnabled_ && !cancelPressed_ && setup_.interrupted && setup_.interrupted()) {
        cancelPressed_ = true; // before the press: its own pump must not press again
        OK_Click(etat_, *this, services_);
    }
}

void StreamScanView::poll() {
    pressIfInterrupted();
}

void StreamScanView::pump() {
    pressIfInterrupted();
    if (status_ && panelsChanged_) {
        *status_ << '\r' << panels_[0] << "  " << panels_[1] << "  " << panels_[2] << "\x1b[K"
                 << std::flush;
        statusDrawn_ = true;
    }
    panelsChanged_ = false;
}

void StreamScanView::showError(const std::string& text, const std::string&) {
    failed_ = true;
    finishStatus();
    err_ << "kesp-scan: " << text << '\n';
}

void StreamScanView::finishStatus() {
    if (status_ && statusDrawn_) *status_ << '\n' << std::flush;
    statusDrawn_ = false;
}

} // namespace kesp
