#pragma once
// How a run ended, as a value.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "os/folder_enum.h"
#include "scan/cluster_sizes.h"
#include "scan/tree_tally.h"

namespace kesp {

enum class RunEnd {
    Pressed,     // a second press of the window's start button: it only asked the walk to stop
    Refused,     // no cluster size: nothing ran
    FilesFailed, // a result file could not be created or written: no totals
    Completed,
    Cancelled,
    VolumeLost, // the volume stopped answering: the walk stopped as a cancel would
};

// A folder the walk could not read, or not wholly, or met a second time.
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

struct ScanTotals {
    std::uint64_t folders = 0; // below the walk's root
    std::uint64_t files = 0;
    std::uint64_t useful = 0;
    // The files' clusters, and the sub-folders': one cluster each on FAT, their stored length on
    // exFAT.
    std::uint64_t real = 0;
    std::uint64_t slack = 0; // of the files alone
    // What-if, by kClusterSizes: what the same tree would occupy at each cluster size. Each
    // sub-folder takes one cluster on FAT, on exFAT the clusters its children's entry sets fill.
    std::array<std::uint64_t, kClusterSizes.size()> realAt{};
    TreeTally tally;
};

struct RunOutcome {
    RunEnd end = RunEnd::Pressed;
    WalkProblems problems;
    ScanTotals totals;
    // How the walk itself ended: FilesFailed when the files failed before its end (no end lines
    // were written), else as `end` would say had the files not failed when closing.
    RunEnd walkEnd = RunEnd::Pressed;
    std::string filesFailure; // a message naming the file and the reason
};

} // namespace kesp
