#include "cli/image_options.h"

#include <vector>

#include "cli/kesp_scan.h"
#include "cli/line_output.h"
#include "cli/scan_target.h"
#include "cli/volume_options.h"

namespace kesp {

int printPartitions(const std::string& image, ImageVolumes& images, std::ostream& out,
                    std::ostream& err) {
    const ScanTarget file = resolveImageFile(image);
    if (!file.problem.empty()) {
        err << "kesp-scan: " << file.problem << '\n';
        return file.status;
    }
    std::vector<ImagePartition> partitions;
    std::string error;
    if (!images.partitions(file.folder, partitions, error)) {
        err << "kesp-scan: " << error << '\n';
        return kExitRefused;
    }
    // An empty file, or a protective MBR without its GPT: an empty listing would pass for a
    // table read.
    if (partitions.empty()) {
        err << "kesp-scan: " << file.folder << " : ni table de partitions ni volume lisible\n";
        return kExitRefused;
    }
    for (const ImagePartition& p : partitions)
        writeLine(out, std::to_string(p.number) + '\t' + std::to_string(p.offset) + '\t' +
                           std::to_string(p.size) + '\t' + p.type + '\t' + p.fileSystem + '\t' +
                           p.label);
    if (!error.empty()) err << "kesp-scan: " << error << '\n';
    out.flush();
    return out ? kExitDone : kExitFailed;
}

} // namespace kesp
