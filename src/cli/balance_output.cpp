#include "cli/balance_output.h"

#include "cli/line_output.h"
#include "plan/balance_sheet.h"

namespace kesp {

std::string gatherBalance(const std::string& folder, bool readDirectly, ImageVolumes* images) {
    const std::string refused =
        readDirectly && images
            ? images->gatherBalance(folder)
            : folder + " n'est pas sur une image disque ni sur un périphérique lu directement";
    return refused.empty() ? refused : plan::balanceRefusal({refused});
}

BalanceEmitted emitBalance(const std::string& folder, RunEnd walkEnd, ImageVolumes& images,
                           bool print, LineSink* table, std::ostream& out,
                           const std::function<std::string(const std::string&)>& forOut) {
    // The FAT is read for a walk that went through, not for one stopped half-way.
    std::optional<fat::BalanceFacts> facts;
    if (walkEnd == RunEnd::Completed) facts = images.balance(folder);
    BalanceEmitted emitted;
    emitted.refusal = plan::balanceRefusal({{}, walkEnd, facts ? &*facts : nullptr});
    if (!emitted.refusal.empty()) return emitted;
    const plan::BalanceSheet sheet = plan::makeBalanceSheet(*facts);
    if (print)
        for (const std::string& line : plan::balanceReportLines(sheet))
            writeLine(out, forOut(line));
    if (!table) return emitted;
    for (const std::string& line : plan::balanceTableLines(sheet))
        table->writeLine(line);
    if (!table->close() || !table->commit()) emitted.fileProblem = table->error();
    return emitted;
}

} // namespace kesp
