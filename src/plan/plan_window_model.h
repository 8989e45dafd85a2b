#pragma once
// What the plan window shows, without the toolkit: the volume-size field, the table, one bar per
// layout cut in five, the slack-by-size chart and the text sent to the printer. The window only
// draws what this hands it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plan/format_plan.h"
#include "plan/plan_text.h"

namespace kesp::plan {

// A bar's parts, in drawing order.
enum BarPart : std::size_t { FileData, Slack, Folders, System, Free, kBarParts };
const std::array<std::string, kBarParts>& barPartNames();

struct LayoutBar {
    std::string label; // "FAT16, 4 Ko"
    std::array<std::uint64_t, kBarParts> bytes{};
    bool recommended = false;
    bool formatterDefault = false;
};

// The parts' widths in pixels: proportional to the bytes, each cut at the rounded running
// total so that they add up to exactly `width`.
std::array<int, kBarParts> barWidths(const LayoutBar& bar, int width);

struct SlackRow {
    std::string label; // "< 512 o" … "≥ 64 Mo"
    std::uint64_t files = 0;
    std::uint64_t lostBytes = 0;
};

// "Espace perdu par taille de fichier (clusters de 4096 octets)": the slack chart's title.
std::string slackChartTitle(std::uint32_t clusterBytes);

class PlanWindowModel {
public:
    // `volumeBytes` 0: the size is unknown and the field starts empty.
    PlanWindowModel(TreeTally tally, std::uint64_t volumeBytes, std::uint32_t scannedCluster);

    const std::string& volumeText() const { return volumeText_; }
    // Digits, blanks allowed between groups. False (the plan kept as it was) for anything else.
    bool setVolumeText(std::string_view text);
    bool hasPlan() const { return plan_.volumeBytes != 0; }

    const FormatPlan& plan() const { return plan_; }
    std::vector<std::array<std::string, kPlanColumns>> tableRows() const;
    std::vector<LayoutBar> bars() const;
    std::vector<SlackRow> slackRows() const;
    // The recommendation, then the smallest size per FAT type; none without a plan.
    std::vector<std::string> recommendationLines() const;
    // The plan as kesp-scan prints it, then the slack by file size.
    std::vector<std::string> printLines() const;
    std::uint32_t scannedCluster() const { return scannedCluster_; }

private:
    TreeTally tally_;
    std::uint32_t scannedCluster_;
    std::string volumeText_;
    FormatPlan plan_;
};

} // namespace kesp::plan
