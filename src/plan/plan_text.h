#pragma once
// The plan as text: the tab-separated table file and the report kesp-scan prints and the
// window sends to the printer.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "os/number_chars.h"
#include "plan/format_plan.h"

namespace kesp::plan {

// How the plan's figures are written: plain digits (the table file and kesp-scan, read by
// programs), or grouped by three with the locale's character, as every figure of the window.
struct Figures {
    std::optional<NumberChars> grouping;
    std::string operator()(std::uint64_t value) const;
};

std::string fatName(fat::FatType bits);     // "FAT12", "FAT16", "FAT32"
std::string systemName(const PlanRow& row); // fatName, or "exFAT"
std::string validityText(Validity validity);
// "mkfs.fat, Windows, SD" ("mkfs.exfat" on an exFAT row), or empty.
std::string defaultsText(const Defaults& defaults, bool exfat = false);

// The table's column heads and one layout's cells, as the table file writes them.
inline constexpr std::size_t kPlanColumns = 11;
const std::array<std::string, kPlanColumns>& planColumnHeads();
// The columns whose figures are aligned to the right, on screen and on paper.
bool figureColumn(std::size_t column);
std::array<std::string, kPlanColumns> planRowCells(const PlanRow& row, const Figures& figures = {});

// "Recommandation : FAT32, 4096 octets par cluster — …", with the 64 KiB note when one applies.
std::string recommendationLine(const FormatPlan& plan, const Figures& figures = {});
// "Pour un appareil qui lit l'exFAT : exFAT, 32768 octets par cluster — …".
std::string exfatRecommendationLine(const FormatPlan& plan, const Figures& figures = {});

// "Taille minimale FAT16 : 12582912 octets (clusters de 2048 octets)", or "… : aucune".
std::string minimalSizeLine(const MinimalSize& minimal, const Figures& figures = {});

// Why the plan's "Espace perdu" is not the scan's, for the line under the plan's table.
std::string lostSpaceNote();

// The first line of a plan made from a walk that could not read every folder; empty for none.
std::string partialPlanLine(std::uint64_t unreadableFolders);

// Characters, not bytes (UTF-8), so that accented texts line up.
std::size_t textWidth(const std::string& text);

// Rows of cells in columns two blanks apart, without trailing blanks; a column in `right` is
// aligned to the right, except in the first `heads` rows (the column heads). Widths count
// characters, not bytes.
std::vector<std::string> alignedColumns(const std::vector<std::vector<std::string>>& rows,
                                        const std::vector<bool>& right, std::size_t heads = 0);

// The table file's lines, without line ends: the head line, one line per layout, the two
// recommendations, the minimal sizes.
std::vector<std::string> planTableLines(const FormatPlan& plan);

// The same as a report in aligned columns, headed by the volume size.
std::vector<std::string> planReportLines(const FormatPlan& plan);

} // namespace kesp::plan
