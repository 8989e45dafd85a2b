#include "plan/plan_window_model.h"

#include <algorithm>
#include <utility>

#include "plan/volume_size.h"

namespace kesp::plan {
namespace {

std::string clusterText(std::uint32_t bytes) {
    if (bytes < 1024) return std::to_string(bytes) + " o";
    if (bytes < 1024 * 1024) return std::to_string(bytes / 1024) + " Ko";
    return std::to_string(bytes / (1024 * 1024)) + " Mo";
}

// Wide enough for the second block of the table at the volume sizes met; a printed line holds
// more (the PDF writer turns the page for them).
constexpr std::size_t kLeastPrintWidth = 80;

// The table in two blocks of columns, each a blank line ahead: the layouts' own figures, then
// what the tree would take on them; both name the layout.
std::vector<std::string>
printedTable(const std::vector<std::array<std::string, kPlanColumns>>& cells) {
    const std::vector<std::vector<std::size_t>> blocks = {{0, 1, 2, 3, 4, 5},
                                                          {0, 1, 6, 7, 8, 9, 10}};
    std::vector<std::string> lines;
    for (const auto& block : blocks) {
        std::vector<std::vector<std::string>> rows(1);
        std::vector<bool> right;
        for (std::size_t c : block) {
            rows[0].push_back(planColumnHeads()[c]);
            right.push_back(figureColumn(c));
        }
        for (const auto& row : cells) {
            rows.emplace_back();
            for (std::size_t c : block)
                rows.back().push_back(row[c]);
        }
        const auto blockLines = alignedColumns(rows, right, 1);
        lines.push_back("");
        lines.insert(lines.end(), blockLines.begin(), blockLines.end());
    }
    return lines;
}

// `text` broken at blanks into lines of at most `width` characters (a longer word stands alone).
std::vector<std::string> wrapped(const std::string& text, std::size_t width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string word = text.substr(at, end - at);
        at = end + 1;
        if (word.empty()) continue;
        if (!line.empty() && textWidth(line) + 1 + textWidth(word) > width) {
            lines.push_back(line);
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

} // namespace

const std::array<std::string, kBarParts>& barPartNames() {
    static const std::array<std::string, kBarParts> names = {
        "Données des fichiers", "Espace perdu", "Dossiers", "FAT et secteurs réservés", "Libre"};
    return names;
}

std::vector<int> proportionalWidths(std::span<const std::uint64_t> bytes, int width) {
    std::vector<int> widths(bytes.size(), 0);
    std::uint64_t total = 0;
    for (std::uint64_t b : bytes)
        total += b;
    if (total == 0 || width <= 0) return widths;
    // Scaled down so that bytes times pixels stays within 64 bits; the loss is far below a pixel.
    int shift = 0;
    while ((total >> shift) > (std::uint64_t{1} << 40))
        ++shift;
    const std::uint64_t scaledTotal = std::max<std::uint64_t>(total >> shift, 1);
    std::uint64_t running = 0;
    int drawn = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        running += bytes[i];
        const std::uint64_t scaled = i + 1 == bytes.size() ? scaledTotal : running >> shift;
        const auto edge = static_cast<int>(
            (scaled * static_cast<std::uint64_t>(width) + scaledTotal / 2) / scaledTotal);
        widths[i] = edge - drawn;
        drawn = edge;
    }
    return widths;
}

std::array<int, kBarParts> barWidths(const LayoutBar& bar, int width) {
    const std::vector<int> cut = proportionalWidths(bar.bytes, width);
    std::array<int, kBarParts> widths{};
    std::copy(cut.begin(), cut.end(), widths.begin());
    return widths;
}

std::string slackChartTitle(std::uint32_t clusterBytes, const Figures& figures) {
    return "Espace perdu par taille de fichier (clusters de " + figures(clusterBytes) + " octets)";
}

PlanWindowModel::PlanWindowModel(TreeTally tally, std::uint64_t volumeBytes,
                                 std::uint32_t scannedCluster, NumberChars chars)
    : tally_(std::move(tally)), scannedCluster_(scannedCluster), figures_{std::move(chars)} {
    if (volumeBytes != 0) setVolumeText(figures_(volumeBytes) + " octets");
}

bool PlanWindowModel::setVolumeText(std::string_view text) {
    volumeText_ = std::string(text);
    const VolumeSize size = parseVolumeSize(text, *figures_.grouping);
    volumeError_ = size.error;
    if (size.bytes == 0) return false;
    plan_ = makePlan(tally_, size.bytes);
    if (plan_.rows.empty())
        volumeError_ = "Trop petit : aucune disposition FAT ni exFAT ne tient dans " +
                       figures_(size.bytes) + " octets.";
    return true;
}

std::vector<std::array<std::string, kPlanColumns>> PlanWindowModel::tableRows() const {
    std::vector<std::array<std::string, kPlanColumns>> rows;
    for (const PlanRow& row : plan_.rows)
        rows.push_back(planRowCells(row, figures_));
    return rows;
}

std::vector<LayoutBar> PlanWindowModel::bars() const {
    std::vector<LayoutBar> bars;
    for (std::size_t r = 0; r < plan_.rows.size(); ++r) {
        const PlanRow& row = plan_.rows[r];
        LayoutBar bar;
        bar.label =
            systemName(row) + (row.sdLayout ? " SD" : "") + ", " + clusterText(row.clusterBytes());
        bar.bytes = {row.fileBytes, row.slackBytes, row.folderBytes, row.systemBytes,
                     row.freeBytes};
        bar.recommended = plan_.recommended == r || plan_.recommendedExfat == r;
        bar.formatterDefault = row.defaults.mkfs || row.defaults.windows || row.defaults.sd;
        bars.push_back(bar);
    }
    return bars;
}

std::vector<SlackRow> PlanWindowModel::slackRows() const {
    std::vector<SlackRow> rows;
    for (std::size_t b = 0; b < kSlackBuckets; ++b)
        rows.push_back(
            {slackBucketLabel(b), tally_.slackBySize[b].files, tally_.slackBySize[b].lostBytes});
    return rows;
}

std::vector<std::string> PlanWindowModel::recommendationLines() const {
    std::vector<std::string> lines;
    if (!hasPlan()) return lines;
    lines.push_back(recommendationLine(plan_, figures_));
    lines.push_back(exfatRecommendationLine(plan_, figures_));
    for (const MinimalSize& minimal : plan_.minimal)
        lines.push_back(minimalSizeLine(minimal, figures_));
    return lines;
}

std::vector<std::string> PlanWindowModel::printLines() const {
    std::vector<std::string> lines;
    if (const std::string partial = partialNote(); !partial.empty()) lines.push_back(partial);
    if (hasPlan()) {
        lines.push_back("Plan de formatage pour un volume de " + figures_(plan_.volumeBytes) +
                        " octets");
        const std::vector<std::string> table = printedTable(tableRows());
        lines.insert(lines.end(), table.begin(), table.end());
        std::size_t width = kLeastPrintWidth;
        for (const std::string& line : table)
            width = std::max(width, textWidth(line));
        for (const std::string& text :
             {std::string(), lostSpaceNote(), std::string(), recommendationLine(plan_, figures_),
              exfatRecommendationLine(plan_, figures_)}) {
            const auto broken = wrapped(text, width);
            if (broken.empty()) lines.push_back("");
            lines.insert(lines.end(), broken.begin(), broken.end());
        }
        for (const MinimalSize& minimal : plan_.minimal)
            lines.push_back(minimalSizeLine(minimal, figures_));
        lines.push_back("");
    }
    lines.push_back(slackChartTitle(scannedCluster_, figures_));
    std::vector<std::vector<std::string>> slack;
    for (const SlackRow& row : slackRows())
        slack.push_back({row.label,
                         figures_(row.files) + (row.files > 1 ? " fichiers" : " fichier"),
                         figures_(row.lostBytes) + " octets perdus"});
    const auto slackLines = alignedColumns(slack, {true, true, true});
    lines.insert(lines.end(), slackLines.begin(), slackLines.end());
    return lines;
}

} // namespace kesp::plan
