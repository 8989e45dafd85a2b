#pragma once
// The depth-first listing of one folder and, when SousRep asks for it, of its sub-folders.
#include <string>

#include "scan/result_files.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

namespace kesp {

// `chemin` ends with the separator. Adds the folder's entries to the per-folder, run and what-if
// figures of `etat`, writes its block to List1 and both files, then lists the sub-folders.
// Stops at its next test of DemandeAnnulation, or as soon as `fichiers` has failed.
void ListerRepertoire(const std::string& chemin, EtatScan& etat, ScanView& view,
                      ScanServices& services, ResultFiles& fichiers);

} // namespace kesp
