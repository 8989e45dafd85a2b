#pragma once
// The images this process has opened, each with its volumes (FAT or exFAT). Images named by a path
// are opened on first use, so kesp-scan can name one directly; the window opens them explicitly.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fat/byte_reader.h"
#include "fat/exfat_volume.h"
#include "fat/fat_volume.h"
#include "fat/partition_table.h"
#include "images/image_address.h"
#include "images/image_file.h"
#include "images/image_volumes.h"

namespace kesp {

struct ImageVolume {
    std::string image;
    const ImageFile* file = nullptr; // owned by the registry
    fat::Partition partition;
    std::string fileSystem;
    std::unique_ptr<fat::SliceReader> slice;
    std::unique_ptr<fat::FatVolume> fat;     // null unless the volume is FAT
    std::unique_ptr<fat::ExfatVolume> exfat; // null unless the volume is exFAT
    std::string failure;                     // why a FAT or exFAT volume could not be opened

    // A FAT or exFAT volume that opened: its folders can be read.
    bool readable() const { return fat || exfat; }
    std::string label() const;
    std::string driveEntry() const;
    std::string rootPath() const { return imagePathText(image, partition.number); }
};

class ImageRegistry final : public ImageVolumes {
public:
    OpenedImage openImage(const std::string& path) override;
    bool holds(const std::string& path) override { return claims(path); }
    // Also false, with the reason, when the image lists no partition at all; true with `error`
    // set when the table was listed despite damage (an extended chain that loops).
    bool partitions(const std::string& path, std::vector<ImagePartition>& out,
                    std::string& error) override;
    std::string problemWith(const std::string& path) override;

    // Where `text` (a drive entry, a root or a folder path) lies among the images opened here,
    // decided from their names alone, without a system call: a drive entry counts whole, whatever
    // its label holds, and the longest image name that fits wins. nullopt: not in an opened image.
    std::optional<ImageAddress> locate(std::string_view text) const;
    bool claims(std::string_view text) const { return locate(text).has_value(); }
    // locate(), or else the image `text` names by its syntax alone, opened on first use.
    std::optional<ImageAddress> addressOf(std::string_view text) const;
    // The FAT or exFAT volume `address` names; nullptr with `error`.
    ImageVolume* volume(const ImageAddress& address, std::string& error);
    // The drive-list entries of the images opened with openImage, in opening order.
    std::vector<std::string> driveEntries() const;

private:
    struct Image {
        std::unique_ptr<ImageFile> file;
        std::unique_ptr<fat::SliceReader> raw; // without a fixed VHD's footer
        std::vector<std::unique_ptr<ImageVolume>> volumes;
        std::string tableProblem; // French; see fat::PartitionTable::problem
        bool listed = false;      // opened with openImage: its volumes are drives
    };
    Image* image(const std::string& path, std::string& error);
    // Why `opened` gives no volume to read, as precisely as the opening found out (French).
    static std::string noFatVolume(const Image& opened, const std::string& image);
    // Why `volume` cannot be read as FAT or exFAT (French, naming it as the drive list would).
    static std::string refusal(const ImageVolume& volume);

    std::map<std::string, Image> images_;
    std::vector<std::string> order_;
};

} // namespace kesp
