#include "scan/scan_run.h"

#include <string>

#include "scan/folder_listing.h"
#include "scan/init_bar.h"
#include "scan/masks.h"
#include "scan/result_files.h"
#include "scan/result_lines.h"

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
    etat.TotalReel2048 = 0;
    etat.TotalReel4096 = 0;
    etat.TotalReel8192 = 0;
    etat.TotalReel16384 = 0;
    etat.TotalReel32768 = 0;
}

std::string driveHeader(const EtatScan& etat, ScanView& view, const ScanServices& services) {
    return driveHeaderLine(view.driveText(), etat.TailleDisqueMo, services.chars);
}

void writeTotals(EtatScan& etat, ScanView& view, ScanServices& services, ResultFiles& files) {
    const NumberChars& chars = services.chars;
    const std::uint64_t perdu = etat.TotalReel - etat.TotalUtile;
    files.report(" ");
    const std::string utile = totalUsefulLine(etat.TotalUtile, etat.FormatNombre, chars);
    view.appendList3(utile);
    files.report(utile);
    view.setStatusPanel(
        1, foldersPanel(etat.NbRepertoires, etat.NbRepertoires > 1, etat.FormatNombre, chars));
    view.setStatusPanel(2,
                        filesPanel(etat.NbFichiers, etat.NbFichiers > 1, etat.FormatNombre, chars));
    view.setStatusPanel(3, lossPanel(perdu, kMaskMegabytesEnd, chars));
    for (const std::string& line : {totalRealLine(etat.TotalReel, etat.FormatNombre, chars),
                                    totalLossLine(perdu, etat.FormatNombre, chars)}) {
        view.appendList3(line);
        files.report(line);
        files.table(line);
    }
}

// A run that could not write its results says so in List3 instead of any total.
void showFailureLines(const std::string& header, const std::string& folder,
                      const std::string& failure, ScanView& view) {
    view.clearList3();
    view.appendList3(header);
    view.appendList3(searchOnLine(folder));
    view.appendList3(failure);
}

RunOutcome run(EtatScan& etat, ScanView& view, ScanServices& services) {
    RunOutcome outcome;
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
    ResultFiles files(services.files, etat.CheminRes1, etat.CheminRes2);
    if (files.failed()) {
        // Nothing is walked: the run ends as a completed one would, with the reason shown.
        showFailureLines(header, folder, files.failure(), view);
        view.pump();
        unlockControls(etat, view);
        view.showError(files.failure(), std::string(kErrorTitle));
        outcome.end = RunEnd::FilesFailed;
        return outcome;
    }
    files.report(header);
    files.table(header);
    files.report(listOfLine(folder));
    files.table(listOfLine(folder));
    files.table(kLineColumns);
    view.setOkEnabled(true);
    etat.Separateur =
        !folder.empty() && folder.back() == kSeparator ? "" : std::string(1, kSeparator);
    view.pump();
    WalkProblems& problems = outcome.problems;
    ListerRepertoire(folder + etat.Separateur, etat, view, services, files, problems);

    view.setTitle(etat.TitreApplication);
    view.clearList3();
    const std::string endHeader = driveHeader(etat, view, services);
    view.appendList3(endHeader);
    view.appendList3(searchOnLine(folder));
    if (!files.failed()) {
        if (problems.volumeLost) {
            const std::string lost = volumeLostLine(problems.volumeLost->reason);
            view.appendList3(lost);
            files.report(lost);
            outcome.end = RunEnd::VolumeLost;
        } else if (etat.DemandeAnnulation) {
            view.appendList3(std::string(kLineCancelled));
            files.report(kLineCancelled);
            outcome.end = RunEnd::Cancelled;
        } else {
            writeTotals(etat, view, services, files);
            outcome.end = RunEnd::Completed;
        }
        if (!problems.unreadable.empty())
            view.appendList3(unreadableFoldersLine(problems.unreadable.size()));
    }
    files.close();
    if (files.failed()) {
        showFailureLines(endHeader, folder, files.failure(), view);
        InitBar(view); // the panels must not show totals of a run that was not written
    }
    view.pump();
    unlockControls(etat, view);
    if (files.failed()) {
        view.showError(files.failure(), std::string(kErrorTitle));
        outcome.end = RunEnd::FilesFailed;
    }
    return outcome;
}

} // namespace

RunOutcome OK_Click(EtatScan& etat, ScanView& view, ScanServices& services) {
    view.closeOpti();
    view.setOkEnabled(false);
    view.pump();
    if (view.okCaption() != kCaptionStart) {
        view.setOkCaption(std::string(kCaptionStart));
        etat.DemandeAnnulation = true;
        return {RunEnd::Pressed, {}};
    }
    if (etat.TailleCluster <= 0) {
        view.setOkEnabled(true);
        view.showError(badClusterSizeMessage(etat.TailleCluster), std::string(kErrorTitle));
        return {RunEnd::Refused, {}};
    }
    return run(etat, view, services);
}

} // namespace kesp
