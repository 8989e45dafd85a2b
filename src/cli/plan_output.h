#pragma once
// kesp-scan's format plan: the volume it is made for, and its two outputs (--plan on standard
// output, --plan-table as a tab-separated file).
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "os/output_files.h"
#include "os/volume_service.h"
#include "scan/tree_tally.h"

namespace kesp {

// The size of the FAT or exFAT volume behind the drive entry `drive`; 0 when it is neither or its
// size is unknown.
std::uint64_t plannedVolumeBytes(const std::string& drive, VolumeService& volumes);

// Prints the plan to `out` when `print`, writes it to `table` when given and puts that file in
// place. A plan of a tree with `unreadableFolders` says it leaves them out. Returns an empty
// text, or why the file could not be written.
std::string emitPlan(const TreeTally& tally, std::uint64_t volumeBytes,
                     std::uint64_t unreadableFolders, bool print, LineSink* table,
                     std::ostream& out);

} // namespace kesp
