#pragma once
// The depth-first listing of one folder and, when SousRep asks for it, of its sub-folders.
#include <optional>
#include <string>
#include <vector>

#include "scan/result_files.h"
#include "scan/scan_services.h"
#include "scan/scan_state.h"
#include "scan/scan_view.h"

namespace kesp {

// A folder the walk could not read, or not wholly.
struct UnreadableFolder {
    std::string path; // as the walk spells it, ending with the separator
    std::string reason;
};

// What a walk could not read: never silent, so the front ends can say so.
struct WalkProblems {
    std::vector<UnreadableFolder> unreadable;
    // Set when the volume stopped answering; the walk then stopped as a cancel does.
    std::optional<ListingFailure> volumeLost;
};

// `chemin` ends with the separator. Adds the folder's entries to the per-folder, run and what-if
// figures of `etat`, writes its block to List1 and both files, then lists the sub-folders, each
// opened from its parent's listing. Stops at its next test of DemandeAnnulation, as soon as
// `fichiers` has failed, or when the volume stops answering.
void ListerRepertoire(const std::string& chemin, EtatScan& etat, ScanView& view,
                      ScanServices& services, ResultFiles& fichiers, WalkProblems& problems);

} // namespace kesp
