#include "cli/plan_output.h"

#include "cli/line_output.h"
#include "plan/plan_text.h"

namespace kesp {

std::uint64_t fatVolumeBytes(const std::string& drive, VolumeService& volumes) {
    const std::string root = volumes.entryRoot(drive);
    VolumeInformation info;
    if (!volumes.volumeInformation(root, info) || info.fileSystem.rfind("FAT", 0) != 0) return 0;
    return volumes.totalBytes(root);
}

std::string emitPlan(const TreeTally& tally, std::uint64_t volumeBytes, bool print,
                     const std::optional<std::string>& tablePath, std::ostream& out,
                     OutputFiles& files) {
    const plan::FormatPlan formatPlan = plan::makePlan(tally, volumeBytes);
    if (print)
        for (const std::string& line : plan::planReportLines(formatPlan))
            writeLine(out, line);
    if (!tablePath) return {};
    std::string error;
    const std::unique_ptr<LineSink> sink = files.create(*tablePath, error);
    if (!sink) return *tablePath + " : " + error;
    for (const std::string& line : plan::planTableLines(formatPlan))
        sink->writeLine(line);
    if (!sink->close() || !sink->commit()) return *tablePath + " : " + sink->error();
    return {};
}

} // namespace kesp
