#include "plan/balance_window_model.h"

#include <utility>

#include "plan/plan_window_model.h"

namespace kesp::plan {

BalanceWindowModel::BalanceWindowModel(BalanceSheet sheet, std::string volume, NumberChars chars)
    : sheet_(std::move(sheet)), volume_(std::move(volume)), figures_{chars} {}

std::vector<std::array<std::string, 3>> BalanceWindowModel::tableRows() const {
    std::vector<std::array<std::string, 3>> rows;
    for (const BalanceRow& row : sheet_.rows)
        rows.push_back({row.label, row.clusters ? figures_(*row.clusters) : std::string(),
                        figures_(row.bytes)});
    rows.push_back({"Total", figures_(sheet_.clusterCount), figures_(sheet_.totalBytes)});
    return rows;
}

std::vector<int> BalanceWindowModel::segmentWidths(int width) const {
    std::vector<std::uint64_t> bytes;
    for (const BalanceRow& row : sheet_.rows)
        bytes.push_back(row.bytes);
    return proportionalWidths(bytes, width);
}

std::vector<std::string> BalanceWindowModel::notes() const {
    std::vector<std::string> notes;
    if (!sheet_.gap.empty()) notes.push_back(sheet_.gap);
    notes.insert(notes.end(), sheet_.findings.begin(), sheet_.findings.end());
    return notes;
}

std::vector<std::string> BalanceWindowModel::printLines() const {
    std::vector<std::string> lines{"Volume : " + volume_};
    for (std::string& line : balanceReportLines(sheet_, figures_))
        lines.push_back(std::move(line));
    return lines;
}

} // namespace kesp::plan
