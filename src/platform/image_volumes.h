#pragma once
// Disk images opened by the user: each FAT volume they hold joins the drive list.
#include <string>
#include <vector>

namespace kesp {

struct OpenedImage {
    std::vector<std::string> drives; // drive-list entries of its FAT volumes, in table order
    std::string error;               // French, naming the file; empty when it opened
};

class ImageVolumes {
public:
    virtual ~ImageVolumes() = default;
    // Opens `path` (an image file or a block device) read-only and adds its FAT volumes to the
    // drive list; opening the same image again gives its entries again.
    virtual OpenedImage openImage(const std::string& path) = 0;
    // Whether `path` (a root or a folder path) lies in an opened image rather than on the host.
    virtual bool holds(const std::string& path) = 0;
};

} // namespace kesp
