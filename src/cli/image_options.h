#pragma once
// kesp-scan's use of disk images: IMAGE, IMAGE:N:/, IMAGE:/DCIM ... named on the command line,
// and --partitions.
#include <optional>
#include <ostream>
#include <string>

#include "platform/image_volumes.h"

namespace kesp {

// The folder an argument names inside an image, as the run writes it: the image's absolute path,
// ":N" for a partition, then ":/" and the folder's path ("/data/card.img:/",
// "/data/card.img:2:/DCIM"). nullopt when the argument names no image file or device; nullopt
// with `error` (French) when it does but that folder cannot be read.
std::optional<std::string> imageFolder(const std::string& argument, ImageVolumes& images,
                                       std::string& error);

// One tab-separated line per partition: number, first byte, size in bytes, type, file system,
// label. 0, or kExitRefused with the reason on `err`.
int printPartitions(const std::string& image, ImageVolumes& images, std::ostream& out,
                    std::ostream& err);

} // namespace kesp
