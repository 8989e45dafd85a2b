#pragma once
// Disk images and block devices read as volumes beside the host's: the front ends open them and
// read their partition tables here; their folders and volume facts then come through the
// ordinary folder enumerator and volume service.
#include <cstdint>
#include <string>
#include <vector>

namespace kesp {

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
    // Opens the image (once; later calls find it open) and returns the drive-list entries of its
    // FAT volumes, which the volume service then lists among its drives. Empty with `error`
    // (French) when it cannot be read or holds no FAT volume.
    virtual std::vector<std::string> openImage(const std::string& path, std::string& error) = 0;
    // Empty when `path` ("IMAGE[:N]:/", "IMAGE[:N]:/A/B/") names a folder that can be read, else
    // why not (French).
    virtual std::string problemWith(const std::string& path) = 0;
    // The image's partition table, or false with `error`.
    virtual bool partitions(const std::string& path, std::vector<ImagePartition>& out,
                            std::string& error) = 0;
};

} // namespace kesp
