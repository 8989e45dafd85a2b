#pragma once
// The press of OK: starts a run, or asks the running one to stop.
#include "scan/folder_listing.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

namespace kesp {

// How a press of OK ended.
enum class RunEnd {
    Pressed,     // a second press: it only asked the running walk to stop
    Refused,     // no cluster size: nothing ran
    FilesFailed, // a result file could not be created or written: no totals
    Completed,
    Cancelled,
    VolumeLost, // the volume stopped answering: the walk stopped as a cancel would
};

struct RunOutcome {
    RunEnd end = RunEnd::Pressed;
    WalkProblems problems; // folders that could not be read, and a lost volume
};

// One press of OK. Re-entered from inside view.pump() by a second press, which only sets
// DemandeAnnulation and the caption. A run with TailleCluster <= 0 is refused through
// view.showError, nothing written; a result file that cannot be created or written ends the run
// early with view.showError naming the file and the reason, after the controls are given back.
RunOutcome OK_Click(EtatScan& etat, ScanView& view, ScanServices& services);

} // namespace kesp
