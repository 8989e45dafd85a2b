#pragma once
// The file-system gate: which file-system names may be scanned, and what CalculCluster then shows.
#include <optional>
#include <string>

namespace kesp {

struct GateDecision {
    std::optional<std::string> list1Line; // the line appended to List1, if any
    bool okEnabled = false;
    bool partitionFat = false;
    std::optional<bool> estFat32; // nullopt: EstFat32 keeps its value
};

// Whole names, compared exactly and with case.
GateDecision fileSystemGate(const std::string& fileSystem);

} // namespace kesp
