#include "scan/walk.h"

#include <memory>
#include <unordered_set>
#include <vector>

#include "scan/cluster_sizes.h"
#include "scan/result_files.h"
#include "scan/result_lines.h"
#include "scan/slack.h"

namespace kesp {

namespace {

constexpr std::string_view kSeenBefore = "dossier déjà parcouru (clusters partagés)";

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const noexcept {
        return std::hash<std::uint64_t>{}(id.volume * 0x9E3779B97F4A7C15ull ^ id.node);
    }
};

// A folder whose sub-folders are being walked; its listing stays open to open them.
struct Level {
    std::unique_ptr<FolderListing> listing;
    std::vector<FolderEntry> subFolders;
    std::size_t next = 0;
    std::size_t pathLength = 0; // of the folder's path, separator included
};

class Walk {
public:
    Walk(const ScanRequest& request, ScanServices& services, ScanObserver& observer,
         const StopToken& stop, ResultFiles& files, RunOutcome& outcome)
        : request_(request), services_(services), observer_(observer), stop_(stop), files_(files),
          totals_(outcome.totals), problems_(outcome.problems), cluster_(request.clusterSize) {}

    void run() {
        std::string path = request_.folder;
        const char separator = services_.folders.separatorFor(path);
        if (path.empty() || path.back() != separator) path.push_back(separator);
        services_.folders.beginWalk(path);
        {
            std::vector<Level> levels;
            std::unique_ptr<FolderListing> root = services_.folders.open(path);
            enter(root);
            std::vector<FolderEntry> subFolders = measure(path, root.get(), true);
            descend(levels, std::move(root), std::move(subFolders), path.size());
            while (!levels.empty()) {
                // A failed file or a lost volume ends the walk here; a cancel still lists the
                // pending sub-folders, empty, without reading them.
                if (files_.failed() || problems_.volumeLost) break;
                Level& level = levels.back();
                if (level.next == level.subFolders.size()) {
                    levels.pop_back();
                    continue;
                }
                const FolderEntry& sub = level.subFolders[level.next++];
                path.resize(level.pathLength);
                path.append(sub.name).push_back(separator);
                observer_.enteringFolder(path);
                std::unique_ptr<FolderListing> child;
                if (!stop_.requested() && level.listing) {
                    child = level.listing->openChild(sub);
                    enter(child);
                }
                subFolders = measure(path, child.get(), false);
                descend(levels, std::move(child), std::move(subFolders), path.size());
            }
        } // every listing released before endWalk: nothing of the walk stays open
        services_.folders.endWalk();
    }

private:
    bool stopRequested() const {
        return stop_.requested() || files_.failed() || problems_.volumeLost;
    }

    WalkCounts counts() const { return {totals_.folders, totals_.files, totals_.slack}; }

    // A folder met before is not read again: it is reported as a folder that could not be read.
    void enter(std::unique_ptr<FolderListing>& listing) {
        const std::optional<FolderId> id = listing->id();
        if (!id || entered_.insert(*id).second) return;
        listing = failedListing({std::string(kSeenBefore), false});
    }

    static void descend(std::vector<Level>& levels, std::unique_ptr<FolderListing> listing,
                        std::vector<FolderEntry> subFolders, std::size_t pathLength) {
        if (subFolders.empty()) return;
        levels.push_back({std::move(listing), std::move(subFolders), 0, pathLength});
    }

    void noteFailure(const std::string& path, const FolderListing& listing) {
        std::optional<ListingFailure> failure = listing.failure();
        if (!failure) return;
        if (failure->volumeLost) {
            if (!problems_.volumeLost) problems_.volumeLost = *failure;
            return;
        }
        problems_.unreadable.push_back({path, std::move(failure->reason)});
        observer_.folderUnreadable(problems_.unreadable.back());
    }

    void measureFile(const FolderEntry& entry, bool& detailHeaderWritten) {
        const std::uint64_t size = entry.size;
        const std::uint64_t real = roundUpToCluster(size, cluster_);
        useful_ += size;
        real_ += real;
        totals_.slack += real - size;
        if (request_.detail && files_.writesReport()) {
            if (!detailHeaderWritten) files_.report(request_.detailHeader);
            detailHeaderWritten = true;
            files_.report(detailLine(entry.name, real - size, size));
        }
        totals_.files += 1;
        observer_.fileMeasured({entry.name, size, real}, counts());
        for (std::size_t i = 0; i < kClusterSizes.size(); ++i)
            totals_.realAt[i] += roundUpToPowerOfTwo(size, kClusterSizes[i]);
        if (request_.tally) tallyFile(totals_.tally, size, cluster_);
    }

    // A sub-folder met in its parent. FAT gives each one cluster ("." and ".." fill part of it);
    // an exFAT folder occupies what its entry stores, and its what-if share is known only once
    // its own listing is over (folderListed).
    void countSubFolder(const FolderListing& parent, const FolderEntry& sub) {
        totals_.folders += 1;
        if (!request_.exfat) {
            for (std::size_t i = 0; i < kClusterSizes.size(); ++i)
                totals_.realAt[i] += kClusterSizes[i];
            real_ += cluster_;
            return;
        }
        const std::optional<std::uint64_t> stored = parent.storedBytes(sub);
        real_ += stored ? roundUpToCluster(*stored, cluster_) : cluster_;
    }

    // What an exFAT folder of `entries` entries would occupy at each what-if size.
    void folderListed(std::uint64_t entries) {
        if (!request_.exfat) return;
        for (std::size_t i = 0; i < kClusterSizes.size(); ++i)
            totals_.realAt[i] += exfatFolderBytes(entries, kClusterSizes[i]);
    }

    // Sub-folders the walk will not list (a stop, or the folder alone asked for): each counted
    // as a folder of its own, empty.
    void notListed(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            folderListed(0);
            if (request_.tally) tallyFolder(totals_.tally, {}, false);
        }
    }

    // Reads one folder to its end (or to a stop), writes its block and returns the sub-folders
    // to walk. `listing` is null for a folder left unread after a stop.
    std::vector<FolderEntry> measure(const std::string& path, FolderListing* listing, bool root) {
        std::vector<FolderEntry> subFolders;
        NameEntries names; // the folder's size, for the format plan and exFAT's what-if
        useful_ = 0;
        real_ = 0;
        files_.report(" ");
        files_.report(path);
        bool detailHeaderWritten = false;
        FolderEntry entry;
        for (;;) {
            observer_.beforeEntry();
            if (!listing || stopRequested()) break;
            if (!listing->next(entry)) {
                noteFailure(path, *listing);
                break;
            }
            if (request_.tally)
                names += nameEntriesFor(entry.name);
            else if (request_.exfat)
                names.exfat += exfatEntriesFor(entry.name);
            if (entry.isDirectory) {
                countSubFolder(*listing, entry);
                subFolders.push_back(std::move(entry));
                observer_.subFolderCounted(counts());
            } else {
                measureFile(entry, detailHeaderWritten);
            }
        }

        if (request_.tally) tallyFolder(totals_.tally, names, root);
        if (!root) folderListed(names.exfat);
        totals_.useful += useful_;
        totals_.real += real_;
        const auto loss = static_cast<std::int64_t>(real_ - useful_);
        observer_.folderMeasured({path, useful_, real_});
        if (files_.writesReport())
            for (const std::string& line :
                 {usefulSizeLine(useful_), realSizeLine(real_), folderLossLine(loss)})
                files_.report(line);
        if (files_.writesTable()) files_.table(tableLine(path, loss, useful_));

        if (stopRequested() || !observer_.walkSubFolders(request_.subFolders)) {
            notListed(subFolders.size());
            return {};
        }
        return subFolders;
    }

    const ScanRequest& request_;
    ScanServices& services_;
    ScanObserver& observer_;
    const StopToken& stop_;
    ResultFiles& files_;
    ScanTotals& totals_;
    WalkProblems& problems_;
    const std::uint64_t cluster_;
    std::uint64_t useful_ = 0; // of the folder being read
    std::uint64_t real_ = 0;
    std::unordered_set<FolderId, FolderIdHash> entered_;
};

void writeEndLines(const ScanRequest& request, const RunOutcome& outcome, const NumberChars& chars,
                   ResultFiles& files) {
    if (outcome.walkEnd == RunEnd::VolumeLost) {
        files.report(volumeLostLine(outcome.problems.volumeLost->reason));
    } else if (outcome.walkEnd == RunEnd::Cancelled) {
        files.report(kLineCancelled);
    } else {
        const ScanTotals& t = outcome.totals;
        files.report(" ");
        files.report(totalUsefulLine(t.useful, request.numberMask, chars));
        for (const std::string& line :
             {totalRealLine(t.real, request.numberMask, chars),
              totalLossLine(t.real - t.useful, request.numberMask, chars)}) {
            files.report(line);
            files.table(line);
        }
    }
}

} // namespace

RunOutcome runScan(const ScanRequest& request, ScanServices& services, ScanObserver& observer,
                   const StopToken& stop) {
    RunOutcome outcome;
    ResultFiles files(services.files, request.reportPath, request.tablePath);
    if (files.failed()) {
        outcome.end = outcome.walkEnd = RunEnd::FilesFailed;
        outcome.filesFailure = files.failure();
        observer.finished(outcome);
        return outcome;
    }
    files.report(request.header);
    files.table(request.header);
    files.report(listOfLine(request.folder));
    files.table(listOfLine(request.folder));
    files.table(kLineColumns);
    observer.walkStarted();
    if (request.clusterSize > 0) Walk(request, services, observer, stop, files, outcome).run();

    if (files.failed())
        outcome.walkEnd = RunEnd::FilesFailed;
    else if (outcome.problems.volumeLost)
        outcome.walkEnd = RunEnd::VolumeLost;
    else if (stop.requested())
        outcome.walkEnd = RunEnd::Cancelled;
    else
        outcome.walkEnd = RunEnd::Completed;
    if (outcome.walkEnd != RunEnd::FilesFailed)
        writeEndLines(request, outcome, services.chars, files);
    files.close();
    outcome.end = files.failed() ? RunEnd::FilesFailed : outcome.walkEnd;
    if (files.failed()) outcome.filesFailure = files.failure();
    observer.finished(outcome);
    return outcome;
}

} // namespace kesp
