#pragma once
// The press of OK: starts a run, or asks the running one to stop. The walk itself knows nothing
// of the window; this turns what it reports into the window's lists, panels and caption.
#include <string>

#include "scan/run_outcome.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "window/scan_view.h"

namespace kesp {

// One press of OK; `title` is the window's, which the run extends with the folder it enters.
// Re-entered from inside view.pump() by a second press, which only sets DemandeAnnulation and
// the caption. A run with TailleCluster <= 0 is refused through
// view.showError, nothing written; a result file that cannot be created or written ends the run
// early with view.showError naming the file and the reason, after the controls are given back.
RunOutcome OK_Click(EtatScan& etat, const std::string& title, ScanView& view,
                    ScanServices& services);

} // namespace kesp
