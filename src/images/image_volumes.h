#pragma once
// Disk images and block devices read as volumes beside the host's: each FAT volume they hold
// joins the drive list, and its folders and facts then come through the ordinary folder
// enumerator and volume service.
#include <cstdint>
#include <string>
#include <vector>

namespace kesp {

struct OpenedImage {
    std::vector<std::string> drives; // drive-list entries of its FAT volumes, in table order
    std::string error;               // French, naming the file; empty when it opened
};

// One line of an image's partition table.
struct ImagePartition {
    int number = 0; // 0: an image without a partition table
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
    std::string type;       // MBR type byte in hex, or the GPT type name or GUID
    std::string fileSystem; // "FAT", "FAT32", "NTFS", "exFAT" ..., or empty
    std::string label;
};

class ImageVolumes {
public:
    virtual ~ImageVolumes() = default;
    // Opens `path` (an image file or a block device) read-only and adds its FAT volumes to the
    // drive list; opening the same image again gives its entries again.
    virtual OpenedImage openImage(const std::string& path) = 0;
    // Whether `path` (a root or a folder path) lies in an opened image rather than on the host.
    virtual bool holds(const std::string& path) = 0;
    // Empty when `path` ("IMAGE[:N]:/", "IMAGE[:N]:/A/B/") names a folder that can be read, else
    // why not (French).
    virtual std::string problemWith(const std::string& path) = 0;
    // The image's partition table, or false with `error` (also when it lists none). True with
    // `error` set when a damaged table could still be listed: what is wrong with it.
    virtual bool partitions(const std::string& path, std::vector<ImagePartition>& out,
                            std::string& error) = 0;
};

} // namespace kesp
