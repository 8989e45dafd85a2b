#pragma once
// What the plan window shows, without the toolkit: the volume-size field, the table, one bar per
// layout cut in five, the slack-by-size chart and the text sent to the printer. The window only
// draws what this hands it.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "os/number_chars.h"
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

// Widths in pixels proportional to `bytes`, each cut at the rounded running total so that they
// add up to exactly `width` (all 0 when the bytes are).
std::vector<int> proportionalWidths(std::span<const std::uint64_t> bytes, int width);
// The parts' widths in pixels, as proportionalWidths cuts them.
std::array<int, kBarParts> barWidths(const LayoutBar& bar, int width);

struct SlackRow {
    std::string label; // "< 512 o" … "≥ 64 Mo"
    std::uint64_t files = 0;
    std::uint64_t lostBytes = 0;
};

// "Espace perdu par taille de fichier (clusters de 4 096 octets)": the slack chart's title.
std::string slackChartTitle(std::uint32_t clusterBytes, const Figures& figures);

class PlanWindowModel {
public:
    // `volumeBytes` 0: the size is unknown and the field starts empty. Figures are grouped with
    // `chars`, the user's locale characters.
    PlanWindowModel(TreeTally tally, std::uint64_t volumeBytes, std::uint32_t scannedCluster,
                    NumberChars chars = {});

    const std::string& volumeText() const { return volumeText_; }
    // The field as parseVolumeSize reads it. Refused: false, the plan kept as it was (to be shown
    // as stale) and volumeError() saying why.
    bool setVolumeText(std::string_view text);
    // Empty while the plan is the field's; else why the field gives no plan (a refused size, or
    // no FAT nor exFAT layout at that size).
    const std::string& volumeError() const { return volumeError_; }
    bool hasPlan() const { return plan_.volumeBytes != 0; }

    const FormatPlan& plan() const { return plan_; }
    const Figures& figures() const { return figures_; }
    // The cells, figures grouped.
    std::vector<std::array<std::string, kPlanColumns>> tableRows() const;
    std::vector<LayoutBar> bars() const;
    std::vector<SlackRow> slackRows() const;
    // The recommendation, the exFAT one, then the smallest size per FAT type; none without a
    // plan.
    std::vector<std::string> recommendationLines() const;
    // The printout: the table in two blocks of columns (the layouts, then what the files would
    // take on them), the note on lost space, the recommendation and the minimal sizes broken
    // into lines as wide as the blocks, then the slack by file size; figures grouped.
    std::vector<std::string> printLines() const;
    std::uint32_t scannedCluster() const { return scannedCluster_; }
    // A plan of a tree whose walk could not read every folder says so, first.
    void setUnreadableFolders(std::uint64_t count) { unreadableFolders_ = count; }
    std::string partialNote() const { return partialPlanLine(unreadableFolders_); }

private:
    TreeTally tally_;
    std::uint32_t scannedCluster_;
    std::uint64_t unreadableFolders_ = 0;
    Figures figures_;
    std::string volumeText_;
    std::string volumeError_;
    FormatPlan plan_;
};

} // namespace kesp::plan
