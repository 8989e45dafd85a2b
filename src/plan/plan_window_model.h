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
    std::string label; // "FAT16, 4 Ko", "exFAT, 128 Ko", "exFAT SD, 128 Ko"
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

class PlanWindowModel {
public:
    // `volumeBytes` 0: the size is unknown and the field starts empty.
    PlanWindowModel(TreeTally tally, std::uint64_t volumeBytes, std::uint32_t scannedCluster);

    const std::string& volumeText() const { return volumeText_; }
    // Digits, blanks allowed between groups. False (the plan kept as it was) for anything else;
    // a size past the largest planned for also says why in problem().
    bool setVolumeText(std::string_view text);
    const std::string& problem() const { return problem_; }
    bool hasPlan() const { return plan_.volumeBytes != 0; }

    const FormatPlan& plan() const { return plan_; }
    std::vector<std::array<std::string, kPlanColumns>> tableRows() const;
    std::vector<LayoutBar> bars() const;
    std::vector<SlackRow> slackRows() const;
    // The plan as kesp-scan prints it, then the slack by file size.
    std::vector<std::string> printLines() const;
    std::uint32_t scannedCluster() const { return scannedCluster_; }

private:
    TreeTally tally_;
    std::uint32_t scannedCluster_;
    std::string volumeText_;
    std::string problem_;
    FormatPlan plan_;
};

} // namespace kesp::plan
