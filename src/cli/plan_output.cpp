#include "cli/plan_output.h"

#include "cli/line_output.h"
#include "plan/plan_text.h"

namespace kesp {

std::uint64_t plannedVolumeBytes(const std::string& drive, VolumeService& volumes) {
    const std::string root = volumes.entryRoot(drive);
    VolumeInformation info;
    if (!volumes.volumeInformation(root, info) ||
        (info.fileSystem.rfind("FAT", 0) != 0 && info.fileSystem != "exFAT"))
        return 0;
    return volumes.totalBytes(root);
}

std::string emitPlan(const TreeTally& tally, std::uint64_t volumeBytes,
                     std::uint64_t unreadableFolders, bool print, LineSink* table,
                     std::ostream& out) {
    const plan::FormatPlan formatPlan = plan::makePlan(tally, volumeBytes);
    const std::string partial = plan::partialPlanLine(unreadableFolders);
    if (print) {
        if (!partial.empty()) writeLine(out, partial);
        for (const std::string& line : plan::planReportLines(formatPlan))
            writeLine(out, line);
    }
    if (!table) return {};
    for (const std::string& line : plan::planTableLines(formatPlan))
        table->writeLine(line);
    if (!partial.empty()) table->writeLine(partial);
    if (!table->close() || !table->commit()) return table->error();
    return {};
}

} // namespace kesp
