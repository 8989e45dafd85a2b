#pragma once
// The file-system gate: which file-system names may be scanned, and what CalculCluster then shows.
#include <optional>
#include <string>

namespace kesp {

struct GateDecision {
    std::optional<std::string> list1Line; // the line appended to List1, if any
    bool okEnabled = false;
    bool partitionFat = false;    // the optimisation table is offered after a scan
    std::optional<bool> estFat32; // nullopt: EstFat32 keeps its value
    std::optional<bool> estExfat; // nullopt: EstExfat keeps its value
};

// Whole names, compared exactly and with case. exFAT passes beside FAT and FAT32: it allocates
// whole clusters and keeps no data in its folder entries, so the slack arithmetic holds as on FAT.
GateDecision fileSystemGate(const std::string& fileSystem);

} // namespace kesp
