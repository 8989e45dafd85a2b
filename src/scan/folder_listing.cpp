#include "scan/folder_listing.h"

#include <optional>
#include <vector>

#include "scan/masks.h"
#include "scan/result_lines.h"
#include "scan/slack.h"
#include "scan/tree_tally.h"

namespace kesp {

namespace {

// What every level of the walk shares, so that one recursion frame stays small.
struct Walk {
    EtatScan& etat;
    ScanView& view;
    ScanServices& services;
    ResultFiles& fichiers;
    WalkProblems& problems;
    std::uint64_t cluster;
};

// A sub-folder takes one cluster of each size; a file its size rounded up to it.
void addWhatIf(EtatScan& etat, std::uint64_t size, bool folder) {
    auto add = [&](std::uint64_t& total, std::uint64_t k) {
        total += folder ? k : roundUpToCluster(size, k);
    };
    add(etat.TotalReel2048, 2048);
    add(etat.TotalReel4096, 4096);
    add(etat.TotalReel8192, 8192);
    add(etat.TotalReel16384, 16384);
    add(etat.TotalReel32768, 32768);
}

// The tick now when the refresh period has passed since the last hand-over, else nothing.
std::optional<std::uint32_t> periodPassed(Walk& w) {
    const EtatScan& etat = w.etat;
    const std::uint32_t now = w.services.ticks.now();
    const auto period = static_cast<std::uint32_t>(
        etat.PeriodeRafraichissement < 0 ? 0 : etat.PeriodeRafraichissement);
    // Unsigned difference: correct across the counter's wrap.
    if (static_cast<std::uint32_t>(now - etat.DernierRafraichissement) <= period)
        return std::nullopt;
    return now;
}

void refreshStatus(Walk& w) {
    EtatScan& etat = w.etat;
    const std::optional<std::uint32_t> now = periodPassed(w);
    if (!now) return;
    const NumberChars& chars = w.services.chars;
    w.view.setStatusPanel(1, foldersPanel(etat.NbRepertoires, true, etat.FormatNombre, chars));
    w.view.setStatusPanel(2, filesPanel(etat.NbFichiers, true, etat.FormatNombre, chars));
    w.view.setStatusPanel(3, lossPanel(etat.PerteCumulee, kMaskMegabytesRun, chars));
    w.view.pump();
    etat.DernierRafraichissement = *now;
}

bool stopRequested(const Walk& w) {
    return w.etat.DemandeAnnulation || w.fichiers.failed() || w.problems.volumeLost;
}

// On a tree of folders alone no file ever refreshes the status: the event loop still gets its
// turn once the period has passed, so the window answers (the texts wait for the next file).
void handOverIfDue(Walk& w) {
    const std::optional<std::uint32_t> now = periodPassed(w);
    if (!now) return;
    w.view.pump();
    w.etat.DernierRafraichissement = *now;
}

void noteFailure(Walk& w, const std::string& chemin, const FolderListing& listing) {
    std::optional<ListingFailure> failure = listing.failure();
    if (!failure) return;
    if (failure->volumeLost) {
        if (!w.problems.volumeLost) w.problems.volumeLost = *failure;
        return;
    }
    w.problems.unreadable.push_back({chemin, std::move(failure->reason)});
}

void measureFile(Walk& w, const FolderEntry& entry, bool& detailHeaderWritten) {
    EtatScan& etat = w.etat;
    const std::uint64_t size = entry.size;
    const std::uint64_t real = roundUpToCluster(size, w.cluster);
    etat.UtileRepertoire += size;
    etat.ReelRepertoire += real;
    etat.PerteCumulee += real - size;
    if (etat.ListeDetaillee) {
        if (!detailHeaderWritten) w.fichiers.report(etat.EnteteDetail);
        detailHeaderWritten = true;
        w.fichiers.report(detailLine(entry.name, real - size, size));
    }
    etat.NbFichiers += 1;
    refreshStatus(w);
    addWhatIf(etat, size, false);
    tallyFile(etat.Tally, size, w.cluster);
}

// `listing` is the folder's own, opened by its parent (or by path for the walk's root); it stays
// open while the sub-folders are listed, as they are opened from it.
void listFolder(const std::string& chemin, FolderListing* listing, Walk& w, bool root) {
    EtatScan& etat = w.etat;
    std::vector<FolderEntry> sousRepertoires;
    std::uint64_t nameEntries = 0; // the folder's size on a FAT volume, for the format plan
    w.fichiers.report(" ");
    w.fichiers.report(chemin);
    bool detailHeaderWritten = false;
    FolderEntry entry;
    for (;;) {
        w.view.poll();
        if (!listing || stopRequested(w)) break;
        if (!listing->next(entry)) {
            noteFailure(w, chemin, *listing);
            break;
        }
        if (entry.name == "." || entry.name == "..") continue;
        nameEntries += directoryEntriesFor(entry.name);
        if (entry.isDirectory) {
            sousRepertoires.push_back(std::move(entry));
            etat.NbRepertoires += 1;
            addWhatIf(etat, 0, true);
            etat.ReelRepertoire += w.cluster;
            handOverIfDue(w);
        } else {
            measureFile(w, entry, detailHeaderWritten);
        }
    }

    tallyFolder(etat.Tally, nameEntries, root);
    etat.TotalUtile += etat.UtileRepertoire;
    etat.TotalReel += etat.ReelRepertoire;
    const auto perte = static_cast<std::int64_t>(etat.ReelRepertoire - etat.UtileRepertoire);

    w.view.appendList1(chemin);
    for (const std::string& line : {usefulSizeLine(etat.UtileRepertoire),
                                    realSizeLine(etat.ReelRepertoire), folderLossLine(perte)}) {
        w.view.appendList1(line);
        w.fichiers.report(line);
    }
    w.fichiers.table(tableLine(chemin, perte, etat.UtileRepertoire));

    if (stopRequested(w)) return;
    if (w.view.subFolders() == CheckState::Clear) {
        // Unlisted, each still takes a folder of its own: "." and "..".
        for (std::size_t i = 0; i < sousRepertoires.size(); ++i)
            tallyFolder(etat.Tally, 0, false);
        return;
    }
    const std::size_t n = sousRepertoires.size();
    std::string sousChemin;
    for (std::size_t i = 0; i < n; ++i) {
        // A failed file or a lost volume ends the walk here; a cancel still lists the pending
        // sub-folders, empty, without reading them.
        if (w.fichiers.failed() || w.problems.volumeLost) return;
        etat.UtileRepertoire = 0;
        etat.ReelRepertoire = 0;
        sousChemin.assign(chemin).append(sousRepertoires[i].name).push_back(kSeparator);
        w.view.setTitle(etat.TitreApplication + " - " + sousChemin);
        std::unique_ptr<FolderListing> child;
        if (!etat.DemandeAnnulation && listing) child = listing->openChild(sousRepertoires[i]);
        listFolder(sousChemin, child.get(), w, false);
    }
}

} // namespace

void ListerRepertoire(const std::string& chemin, EtatScan& etat, ScanView& view,
                      ScanServices& services, ResultFiles& fichiers, WalkProblems& problems) {
    if (etat.TailleCluster <= 0) return; // the run refuses this before any file is opened
    services.folders.beginWalk(chemin);
    Walk w{etat,     view,     services,
           fichiers, problems, static_cast<std::uint64_t>(etat.TailleCluster)};
    {
        std::unique_ptr<FolderListing> root = services.folders.open(chemin);
        listFolder(chemin, root.get(), w, true);
    } // released before endWalk: nothing of the walk stays open
    services.folders.endWalk();
}

} // namespace kesp
