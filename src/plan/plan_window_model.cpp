#include "plan/plan_window_model.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace kesp::plan {
namespace {

std::string clusterText(std::uint32_t bytes) {
    return bytes < 1024 ? std::to_string(bytes) + " o" : std::to_string(bytes / 1024) + " Ko";
}

} // namespace

const std::array<std::string, kBarParts>& barPartNames() {
    static const std::array<std::string, kBarParts> names = {
        "Données des fichiers", "Espace perdu", "Dossiers", "FAT et secteurs réservés", "Libre"};
    return names;
}

std::array<int, kBarParts> barWidths(const LayoutBar& bar, int width) {
    std::array<int, kBarParts> widths{};
    std::uint64_t total = 0;
    for (std::uint64_t b : bar.bytes)
        total += b;
    if (total == 0 || width <= 0) return widths;
    // Scaled down so that bytes times pixels stays within 64 bits; the loss is far below a pixel.
    int shift = 0;
    while ((total >> shift) > (std::uint64_t{1} << 40))
        ++shift;
    const std::uint64_t scaledTotal = std::max<std::uint64_t>(total >> shift, 1);
    std::uint64_t running = 0;
    int drawn = 0;
    for (std::size_t i = 0; i < kBarParts; ++i) {
        running += bar.bytes[i];
        const std::uint64_t scaled = i + 1 == kBarParts ? scaledTotal : running >> shift;
        const auto edge = static_cast<int>(
            (scaled * static_cast<std::uint64_t>(width) + scaledTotal / 2) / scaledTotal);
        widths[i] = edge - drawn;
        drawn = edge;
    }
    return widths;
}

std::string slackChartTitle(std::uint32_t clusterBytes) {
    return "Espace perdu par taille de fichier (clusters de " + std::to_string(clusterBytes) +
           " octets)";
}

PlanWindowModel::PlanWindowModel(TreeTally tally, std::uint64_t volumeBytes,
                                 std::uint32_t scannedCluster)
    : tally_(std::move(tally)), scannedCluster_(scannedCluster) {
    if (volumeBytes != 0) setVolumeText(std::to_string(volumeBytes));
}

bool PlanWindowModel::setVolumeText(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c == ' ') continue;
        if (c < '0' || c > '9') return false;
        digits += c;
    }
    std::uint64_t bytes = 0;
    const char* end = digits.data() + digits.size();
    if (digits.empty() || std::from_chars(digits.data(), end, bytes).ptr != end || bytes == 0)
        return false;
    volumeText_ = std::string(text);
    plan_ = makePlan(tally_, bytes);
    return true;
}

std::vector<std::array<std::string, kPlanColumns>> PlanWindowModel::tableRows() const {
    std::vector<std::array<std::string, kPlanColumns>> rows;
    for (const PlanRow& row : plan_.rows)
        rows.push_back(planRowCells(row));
    return rows;
}

std::vector<LayoutBar> PlanWindowModel::bars() const {
    std::vector<LayoutBar> bars;
    for (std::size_t r = 0; r < plan_.rows.size(); ++r) {
        const PlanRow& row = plan_.rows[r];
        LayoutBar bar;
        bar.label = fatName(row.layout.bits) + ", " + clusterText(row.layout.clusterBytes());
        bar.bytes = {row.fileBytes, row.slackBytes, row.folderBytes, row.systemBytes,
                     row.freeBytes};
        bar.recommended = plan_.recommended == r;
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
    lines.push_back(recommendationLine(plan_));
    for (const MinimalSize& minimal : plan_.minimal)
        lines.push_back(minimalSizeLine(minimal));
    return lines;
}

std::vector<std::string> PlanWindowModel::printLines() const {
    std::vector<std::string> lines;
    if (hasPlan()) lines = planReportLines(plan_);
    lines.push_back("");
    lines.push_back(slackChartTitle(scannedCluster_));
    for (const SlackRow& row : slackRows())
        lines.push_back(row.label + "\t" + std::to_string(row.files) +
                        (row.files > 1 ? " fichiers\t" : " fichier\t") +
                        std::to_string(row.lostBytes) + " octets perdus");
    return lines;
}

} // namespace kesp::plan
