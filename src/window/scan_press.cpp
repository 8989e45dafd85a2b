#include "window/scan_press.h"

#include <optional>
#include <string>

#include "scan/init_bar.h"
#include "scan/masks.h"
#include "scan/result_lines.h"
#include "scan/walk.h"

namespace kesp {

namespace {

void lockControls(ScanView& view) {
    view.setDriveEnabled(false);
    view.setToolButtonEnabled(1, false);
    view.setMenuEnabled(MenuItem::Enregistrer, false);
    view.setToolButtonEnabled(2, false);
    view.setMenuEnabled(MenuItem::Imprimer, false);
    view.setToolButtonEnabled(4, false);
    view.setMenuEnabled(MenuItem::optimiser, false);
    view.setFolderEnabled(false);
    view.setBusy(true);
}

// How every run ends, also one that could not write its files: the cancel flag cleared and
// the controls given back.
void unlockControls(EtatScan& etat, ScanView& view) {
    etat.DemandeAnnulation = false;
    view.setOkEnabled(true);
    view.setDriveEnabled(true);
    view.setToolButtonEnabled(1, true);
    view.setMenuEnabled(MenuItem::Enregistrer, true);
    view.setToolButtonEnabled(2, true);
    view.setMenuEnabled(MenuItem::Imprimer, true);
    view.setToolButtonEnabled(4, etat.PartitionFat);
    view.setMenuEnabled(MenuItem::optimiser, etat.PartitionFat);
    view.setFolderEnabled(true);
    view.setBusy(false);
    view.setOkCaption(std::string(kCaptionStart));
}

void resetFigures(EtatScan& etat) {
    etat.NbRepertoires = 0;
    etat.NbFichiers = 0;
    etat.TotalUtile = 0;
    etat.TotalReel = 0;
    etat.UtileRepertoire = 0;
    etat.ReelRepertoire = 0;
    etat.PerteCumulee = 0;
    etat.TotalReelParCluster = {};
    etat.Tally = {};
}

std::string driveHeader(const EtatScan& etat, ScanView& view, const ScanServices& services) {
    return driveHeaderLine(view.driveText(), etat.TailleDisqueMo, services.chars);
}

// The window's side of the walk: List1 as folders are measured, the status panels and a turn of
// the event loop once per refresh period, the title on entering a folder. A second press of OK
// can only come from inside pump() or poll(); its flag is passed on to the walk's token there.
class WindowObserver final : public ScanObserver {
public:
    WindowObserver(EtatScan& etat, const std::string& title, ScanView& view, ScanServices& services)
        : etat_(etat), title_(title), view_(view), services_(services) {}

    const StopToken& stop() const { return stop_; }
    bool started() const { return started_; }

    void walkStarted() override {
        started_ = true;
        view_.setOkEnabled(true);
        pump();
    }
    void beforeEntry() override {
        view_.poll();
        passOnCancel();
    }
    void fileMeasured(const FileFigures&, const WalkCounts& counts) override {
        const std::optional<std::uint32_t> now = periodPassed();
        if (!now) return;
        const NumberChars& chars = services_.chars;
        view_.setStatusPanel(1, foldersPanel(counts.folders, true, etat_.FormatNombre, chars));
        view_.setStatusPanel(2, filesPanel(counts.files, true, etat_.FormatNombre, chars));
        view_.setStatusPanel(3, lossPanel(counts.lost, kMaskMegabytesRun, chars));
        pump();
        etat_.DernierRafraichissement = *now;
    }
    // On a tree of folders alone no file ever refreshes the status: the event loop still gets
    // its turn once the period has passed, so the window answers.
    void subFolderCounted(const WalkCounts&) override {
        const std::optional<std::uint32_t> now = periodPassed();
        if (!now) return;
        pump();
        etat_.DernierRafraichissement = *now;
    }
    // The box is read as each folder ends: a change during the run applies from there on.
    bool walkSubFolders(bool) override { return view_.subFolders() != CheckState::Clear; }
    void enteringFolder(std::string_view path) override {
        std::string title = title_;
        title.append(" - ").append(path);
        view_.setTitle(title);
    }
    void folderMeasured(const FolderFigures& folder) override {
        view_.appendList1(std::string(folder.path));
        view_.appendList1(usefulSizeLine(folder.useful));
        view_.appendList1(realSizeLine(folder.real));
        view_.appendList1(folderLossLine(static_cast<std::int64_t>(folder.real - folder.useful)));
    }

private:
    void pump() {
        view_.pump();
        passOnCancel();
    }
    void passOnCancel() {
        if (etat_.DemandeAnnulation) stop_.request();
    }
    // The tick now when the refresh period has passed since the last hand-over, else nothing.
    std::optional<std::uint32_t> periodPassed() const {
        const std::uint32_t now = services_.ticks.now();
        const auto period = static_cast<std::uint32_t>(
            etat_.PeriodeRafraichissement < 0 ? 0 : etat_.PeriodeRafraichissement);
        // Unsigned difference: correct across the counter's wrap.
        if (static_cast<std::uint32_t>(now - etat_.DernierRafraichissement) <= period)
            return std::nullopt;
        return now;
    }

    EtatScan& etat_;
    const std::string& title_;
    ScanView& view_;
    ScanServices& services_;
    StopToken stop_;
    bool started_ = false;
};

void showTotals(const EtatScan& etat, ScanView& view, const ScanServices& services) {
    const NumberChars& chars = services.chars;
    const std::uint64_t perdu = etat.TotalReel - etat.TotalUtile;
    view.appendList3(totalUsefulLine(etat.TotalUtile, etat.FormatNombre, chars));
    view.setStatusPanel(
        1, foldersPanel(etat.NbRepertoires, etat.NbRepertoires > 1, etat.FormatNombre, chars));
    view.setStatusPanel(2,
                        filesPanel(etat.NbFichiers, etat.NbFichiers > 1, etat.FormatNombre, chars));
    view.setStatusPanel(3, lossPanel(perdu, kMaskMegabytesEnd, chars));
    view.appendList3(totalRealLine(etat.TotalReel, etat.FormatNombre, chars));
    view.appendList3(totalLossLine(perdu, etat.FormatNombre, chars));
}

// A run that could not write its results says so in List3 instead of any total.
void showFailureLines(const std::string& header, const std::string& folder,
                      const std::string& failure, ScanView& view) {
    view.clearList3();
    view.appendList3(header);
    view.appendList3(searchOnLine(folder));
    view.appendList3(failure);
}

RunOutcome run(EtatScan& etat, const std::string& title, ScanView& view, ScanServices& services) {
    view.setOkCaption(std::string(kCaptionCancel));
    lockControls(view);
    view.clearList1();
    view.clearList3();
    const std::string header = driveHeader(etat, view, services);
    view.appendList3(header);
    view.appendList3(std::string(kLinePleaseWait));
    view.appendList3(std::string(kLineWorking));
    resetFigures(etat);
    InitBar(view);
    etat.DernierRafraichissement = services.ticks.now();

    const std::string folder = view.folderPath();
    const char separator = services.folders.separatorFor(folder);
    etat.Separateur =
        !folder.empty() && folder.back() == separator ? "" : std::string(1, separator);
    ScanRequest request;
    request.folder = folder;
    request.clusterSize = static_cast<std::uint64_t>(etat.TailleCluster);
    request.subFolders = view.subFolders() != CheckState::Clear;
    request.detail = etat.ListeDetaillee;
    request.reportPath = etat.CheminRes1;
    request.tablePath = etat.CheminRes2;
    request.header = header;
    request.numberMask = etat.FormatNombre;
    request.detailHeader = etat.EnteteDetail;
    request.exfat = etat.EstExfat;
    WindowObserver observer(etat, title, view, services);
    RunOutcome outcome = runScan(request, services, observer, observer.stop());
    if (!observer.started()) {
        // The files could not be opened: nothing was walked, the reason is shown.
        showFailureLines(header, folder, outcome.filesFailure, view);
        view.pump();
        unlockControls(etat, view);
        view.showError(outcome.filesFailure, std::string(kErrorTitle));
        return outcome;
    }
    keepTotals(etat, outcome.totals);

    view.setTitle(title);
    view.clearList3();
    const std::string endHeader = driveHeader(etat, view, services);
    view.appendList3(endHeader);
    view.appendList3(searchOnLine(folder));
    if (outcome.walkEnd != RunEnd::FilesFailed) {
        if (outcome.walkEnd == RunEnd::VolumeLost)
            view.appendList3(volumeLostLine(outcome.problems.volumeLost->reason));
        else if (outcome.walkEnd == RunEnd::Cancelled)
            view.appendList3(std::string(kLineCancelled));
        else
            showTotals(etat, view, services);
        if (!outcome.problems.unreadable.empty())
            view.appendList3(unreadableFoldersLine(outcome.problems.unreadable.size()));
    }
    const bool failed = outcome.end == RunEnd::FilesFailed;
    if (failed) {
        showFailureLines(endHeader, folder, outcome.filesFailure, view);
        InitBar(view); // the panels must not show totals of a run that was not written
    }
    view.pump();
    unlockControls(etat, view);
    if (failed) view.showError(outcome.filesFailure, std::string(kErrorTitle));
    return outcome;
}

} // namespace

RunOutcome OK_Click(EtatScan& etat, const std::string& title, ScanView& view,
                    ScanServices& services) {
    view.closeOpti();
    view.setOkEnabled(false);
    view.pump();
    if (view.okCaption() != kCaptionStart) {
        view.setOkCaption(std::string(kCaptionStart));
        etat.DemandeAnnulation = true;
        return {RunEnd::Pressed, {}, {}, RunEnd::Pressed, {}};
    }
    if (etat.TailleCluster <= 0) {
        view.setOkEnabled(true);
        view.showError(badClusterSizeMessage(etat.TailleCluster), std::string(kErrorTitle));
        return {RunEnd::Refused, {}, {}, RunEnd::Refused, {}};
    }
    return run(etat, title, view, services);
}

} // namespace kesp
