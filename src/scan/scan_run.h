#pragma once
// The press of OK: starts a run, or asks the running one to stop.
#include <string>

#include "platform/folder_enum.h"
#include "platform/number_chars.h"
#include "platform/output_files.h"
#include "platform/ticks.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

namespace kesp {

// The platform services a run uses, injected so tests can hand in fakes.
struct ScanServices {
    FolderEnumerator& folders;
    TickCounter& ticks;
    OutputFiles& files;
    NumberChars chars;
};

// One press of OK. Re-entered from inside view.pump() by a second press, which only sets
// DemandeAnnulation and the caption.
void OK_Click(EtatScan& etat, ScanView& view, ScanServices& services);

// Lists one folder (path ending with the separator) and, when asked, its sub-folders.
// Exposed for tests; the run calls it once for the chosen folder.
void ListerRepertoire(const std::string& chemin, EtatScan& etat, ScanView& view,
                      ScanServices& services);

} // namespace kesp
