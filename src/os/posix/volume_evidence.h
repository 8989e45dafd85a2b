#pragma once
// Gathers what can be read about a mounted volume: its source's boot sector and root label, its
// statvfs figures, and the label and UUID that udev or libblkid publish.
#include <optional>
#include <string>

#include "os/posix/volume_facts.h"

namespace kesp {

// The FAT boot sector at the start of `source` (a block device or an image file) and the root
// folder's volume label, or its exFAT boot region and label. Anything else (a FIFO, a character
// device, a word like "fusefat", an unreadable or short file) gives no boot sector; nothing is
// opened that could block.
struct SourceFat {
    std::optional<fat::FatBootSector> boot;
    std::optional<std::string> rootLabel;
    std::optional<SourceExfat> exfat;
};
SourceFat readSourceFat(const std::string& source);

// statvfs of a mount point; nullopt when it fails (errno tells why).
std::optional<StatvfsFacts> statVolume(const std::string& mountPoint);

// Label, UUID and type of `source`: the /dev/disk/by-label and by-uuid links that point at it,
// else a libblkid probe of the source when it can be read.
BlockIdentity identifySource(const std::string& source);

// Everything at once, for one mount.
VolumeEvidence gatherEvidence(const MountEntry& mount);

} // namespace kesp
