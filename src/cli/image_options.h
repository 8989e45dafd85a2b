#pragma once
// kesp-scan --partitions IMAGE. Images named as FOLDER are found by resolveScanTarget.
#include <ostream>
#include <string>

#include "images/image_volumes.h"

namespace kesp {

// One tab-separated line per partition: number, first byte, size in bytes, type, file system,
// label. 0; kExitFailed when `image` names no image file or device; kExitRefused, with the
// reason on `err`, when its table cannot be read or lists nothing.
int printPartitions(const std::string& image, ImageVolumes& images, std::ostream& out,
                    std::ostream& err);

} // namespace kesp
