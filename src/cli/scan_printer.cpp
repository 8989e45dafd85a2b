#include "cli/scan_printer.h"

#include "cli/line_output.h"
#include "scan/escaped_text.h"
#include "scan/masks.h"
#include "scan/result_lines.h"

namespace kesp {

namespace {

// Milliseconds between redraws of the status line.
constexpr std::uint32_t kStatusPeriod = 100;

} // namespace

ScanPrinter::ScanPrinter(std::ostream& out, TickCounter& ticks, Setup setup)
    : out_(out), ticks_(ticks), setup_(std::move(setup)) {
    if (setup_.status) lastDrawn_ = ticks_.now();
}

void ScanPrinter::beforeEntry() {
    if (setup_.interrupted && setup_.interrupted()) stop_.request();
}

void ScanPrinter::fileMeasured(const FileFigures&, const WalkCounts& counts) {
    // Without a terminal to draw on, a file costs no clock read.
    if (!setup_.status) return;
    const std::uint32_t now = ticks_.now();
    if (static_cast<std::uint32_t>(now - lastDrawn_) <= kStatusPeriod) return;
    lastDrawn_ = now;
    const NumberChars& chars = setup_.chars;
    drawStatus(foldersPanel(counts.folders, true, setup_.numberMask, chars),
               filesPanel(counts.files, true, setup_.numberMask, chars),
               lossPanel(counts.lost, kMaskMegabytesRun, chars));
}

void ScanPrinter::folderMeasured(const FolderFigures& folder) {
    const std::string path(folder.path);
    writeLine(out_, setup_.escapeOut ? escapedFor(EscapeFor::Terminal, path) : path);
    writeLine(out_, usefulSizeLine(folder.useful));
    writeLine(out_, realSizeLine(folder.real));
    writeLine(out_, folderLossLine(static_cast<std::int64_t>(folder.real - folder.useful)));
    // A reader that went away shows when the buffer is next written out; on a terminal the
    // lines are wanted as they come.
    if (setup_.status) out_.flush();
    if (!out_) {
        outputClosed_ = true;
        stop_.request();
    }
}

void ScanPrinter::drawStatus(const std::string& folders, const std::string& files,
                             const std::string& lost) {
    *setup_.status << '\r' << folders << "  " << files << "  " << lost << "\x1b[K" << std::flush;
    statusDrawn_ = true;
}

void ScanPrinter::finishStatus(const RunOutcome& outcome) {
    if (!setup_.status || !statusDrawn_) return;
    if (outcome.end == RunEnd::Completed) {
        const ScanTotals& t = outcome.totals;
        const NumberChars& chars = setup_.chars;
        drawStatus(foldersPanel(t.folders, t.folders > 1, setup_.numberMask, chars),
                   filesPanel(t.files, t.files > 1, setup_.numberMask, chars),
                   lossPanel(t.real - t.useful, kMaskMegabytesEnd, chars));
    }
    *setup_.status << '\n' << std::flush;
    statusDrawn_ = false;
}

} // namespace kesp
