#pragma once
// The plan as text: the tab-separated table file and the report kesp-scan prints and the
// window sends to the printer.
#include <array>
#include <string>
#include <vector>

#include "plan/format_plan.h"

namespace kesp::plan {

std::string fatName(fat::FatType bits); // "FAT12", "FAT16", "FAT32"
std::string validityText(Validity validity);
std::string defaultsText(const Defaults& defaults); // "mkfs.fat, Windows, SD", or empty

// The table's column heads and one layout's cells, as the table file writes them.
inline constexpr std::size_t kPlanColumns = 11;
const std::array<std::string, kPlanColumns>& planColumnHeads();
std::array<std::string, kPlanColumns> planRowCells(const PlanRow& row);

// "Recommandation : FAT32, 4096 octets par cluster — …", with the 64 KiB note when one applies.
std::string recommendationLine(const FormatPlan& plan);

// "Taille minimale FAT16 : 12582912 octets (clusters de 2048 octets)", or "… : aucune".
std::string minimalSizeLine(const MinimalSize& minimal);

// The table file's lines, without line ends: the head line, one line per layout, the
// recommendation, the minimal sizes.
std::vector<std::string> planTableLines(const FormatPlan& plan);

// The same as a report in aligned columns, headed by the volume size.
std::vector<std::string> planReportLines(const FormatPlan& plan);

} // namespace kesp::plan
