#pragma once
// One exFAT volume read through a ByteReader: its boot region (the backup one when the main one
// fails its checks), geometry, FAT, the volume entries of its root folder and its label.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "fat/byte_reader.h"
#include "fat/exfat_boot_sector.h"
#include "fat/exfat_entry_set.h"
#include "fat/exfat_fat.h"

namespace kesp::fat {

// No folder is larger than this; a chain that says otherwise is damage.
inline constexpr std::uint64_t kExfatFolderMaximumBytes = 256ull * 1024 * 1024;

class ExfatVolume {
public:
    // nullptr with `error` (French) when the reader holds no exFAT volume, when neither boot
    // region passes its checks, or when the image stops before the cluster heap.
    static std::unique_ptr<ExfatVolume> open(ByteReader& reader, std::string& error);

    const ExfatBootSector& boot() const { return boot_; }
    const ExfatGeometry& geometry() const { return geometry_; }
    ExfatFat& fat() { return fat_; }
    ByteReader& reader() { return reader_; }

    // The label entry's text; empty without one.
    const std::string& label() const { return label_; }
    // Why the main boot region was passed over for the backup one (French); empty when it was
    // not.
    const std::string& bootNote() const { return bootNote_; }
    // What the partition report adds about the volume (French, one line): the flags its boot
    // sector raises and a main boot region passed over; empty when there is nothing to say.
    // `mounted`: a driver has it in use, and marks it dirty until it lets go.
    std::string remark(bool mounted) const;
    // The bitmap, up-case table and label entries found in the root folder.
    const ExfatRootFacts& rootFacts() const { return facts_; }

    // Clusters the allocation bitmap leaves free; nullopt with `error` (French) when the root
    // holds no bitmap entry or the bitmap cannot be read.
    std::optional<std::uint64_t> freeClusters(std::string& error);
    // Clusters of the root folder, which has no length but its chain; nullopt with `error`.
    std::optional<std::uint64_t> rootClusters(std::string& error);

private:
    ExfatVolume(ByteReader& reader, const ExfatBootSector& boot);

    ByteReader& reader_;
    ExfatBootSector boot_;
    ExfatGeometry geometry_;
    ExfatFat fat_;
    std::string label_;
    std::string bootNote_;
    ExfatRootFacts facts_;
};

} // namespace kesp::fat
