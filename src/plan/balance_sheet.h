#pragma once
// "Bilan du volume": every part of a FAT volume read directly, in clusters and in bytes, adding up
// to the volume's size, then the problems a check of the volume reports, each in one line. Made
// from the facts the walk gathered; the texts are the table file's, kesp-scan's and the window's.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fat/balance_facts.h"
#include "plan/plan_text.h"
#include "scan/run_outcome.h"

namespace kesp::plan {

// The parts, in the sheet's order.
enum class BalancePart {
    Reserved,
    Fats,
    FixedRoot,
    ExfatTables,
    Folders,
    FileData,
    Slack,
    Free,
    Bad,
    Lost,
    Shared,
    BeyondClusters,
};

struct BalanceRow {
    BalancePart part = BalancePart::Reserved;
    std::string label;                     // "Secteurs réservés" …
    std::optional<std::uint64_t> clusters; // for the parts made of whole clusters
    std::uint64_t bytes = 0;
};

struct BalanceSheet {
    std::string fileSystem; // "FAT12", "FAT16", "FAT32", "exFAT"
    std::uint32_t clusterBytes = 0;
    std::vector<BalanceRow> rows; // without the total
    std::uint64_t clusterCount = 0;
    std::uint64_t totalBytes = 0;  // the rows added up
    std::uint64_t volumeBytes = 0; // as the boot sector counts it
    // Empty when the total is the volume's size; else by how much it is not, and why.
    std::string gap;
    std::vector<std::string> findings;
};

BalanceSheet makeBalanceSheet(const fat::BalanceFacts& facts);

// The table file's lines, without line ends: "Poste\tClusters\tOctets", one line per row, the
// total, the gap when there is one, then the findings.
std::vector<std::string> balanceTableLines(const BalanceSheet& sheet);

// The same in aligned columns under a heading, the findings after "Constats :"; the table's
// figures written as `figures` says (plain digits for kesp-scan, grouped for the window's
// printout).
std::vector<std::string> balanceReportLines(const BalanceSheet& sheet, const Figures& figures = {});

// What the front end knows of the walk that should have gathered the sheet.
struct BalanceRun {
    std::string gatherRefusal; // ImageVolumes::gatherBalance's answer before the walk
    RunEnd walkEnd = RunEnd::Completed;
    const fat::BalanceFacts* facts = nullptr; // what the walk gathered, if anything
};

// Empty when the walk covered the whole volume, so that its sheet can be made; else why not, as
// one French sentence.
std::string balanceRefusal(const BalanceRun& run);

// The window's text while no scan has made a sheet.
inline constexpr const char* kBalanceNeedsScan =
    "Bilan du volume : analysez d'abord tout un volume lu directement (image disque ou "
    "périphérique), depuis sa racine et avec ses sous-répertoires.";

} // namespace kesp::plan
