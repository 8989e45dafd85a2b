#pragma once
// What a mounted volume is, composed from what could be read about it. Pure: the evidence is
// gathered by volume_evidence.h, so every combination (a FAT boot sector, a kernel vfat mount
// without one, a FUSE mount, another file system) is tested without mounting anything.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fat/boot_sector.h"
#include "fat/exfat_boot_sector.h"
#include "os/posix/mount_table.h"
#include "os/volume_service.h"

namespace kesp {

struct StatvfsFacts {
    std::uint64_t blockSize = 0; // f_bsize
    std::uint64_t blocks = 0;    // f_blocks, in f_frsize units
    std::uint64_t fragmentSize = 0;
    std::uint64_t nameMax = 0;
    std::uint64_t fsid = 0;
};

// Label, UUID and type as udev or libblkid publish them for the mount's source.
struct BlockIdentity {
    std::string label;
    std::string uuid;
    std::string type; // "vfat", "ntfs", "exfat" ...
};

// An exFAT boot region that passed its checks, and what its root folder says.
struct SourceExfat {
    fat::ExfatBootSector boot;
    std::string label;  // the label entry's; empty without one
    std::string remark; // the partition report's (ExfatVolume::remark, mounted)
};

struct VolumeEvidence {
    MountEntry mount;
    std::optional<fat::FatBootSector> boot; // the source's FAT boot sector, when valid
    std::optional<std::string> rootLabel;   // the root folder's volume-label entry
    std::optional<SourceExfat> exfat;       // the source's exFAT boot region, when valid
    std::optional<StatvfsFacts> stat;
    BlockIdentity identity;
};

struct VolumeFacts {
    VolumeInformation info;
    bool geometryKnown = false; // false: the free-space query fails
    std::uint32_t sectorsPerCluster = 0;
    std::uint32_t bytesPerSector = 0;
    std::uint64_t totalBytes = 0;
};

// The kernel's own FAT drivers, whose statvfs gives the cluster size as f_bsize.
bool isKernelFatType(std::string_view mountType);
// FUSE mounts of a FAT driver (fuse.fusefat, fuse.vfat ...): their statvfs is not the cluster
// geometry.
bool isFuseFatType(std::string_view mountType);
// Mount types whose source may begin with a FAT or exFAT boot sector worth reading: the kernel's
// FAT and exFAT drivers and FUSE mounts (exfat-fuse is "fuseblk").
bool mayHoldFatBootSector(std::string_view mountType);

// The 32-bit serial in a UUID as libblkid writes it: "1234-ABCD" (FAT, exFAT) or 16 hex digits
// (NTFS, whose serial is the low half). nullopt for other forms.
std::optional<std::uint32_t> serialFromUuid(std::string_view uuid);

VolumeFacts describeVolume(const VolumeEvidence& evidence);

} // namespace kesp
