#include "os/posix/volume_facts.h"

#include <algorithm>
#include <charconv>

#include "os/posix/file_system_names.h"

namespace kesp {
namespace {

// Splits a cluster size into sectors of 512 bytes when it can, as the free-space query reports.
void splitClusterSize(std::uint64_t clusterSize, VolumeFacts& facts) {
    if (clusterSize == 0 || clusterSize > 0x7FFFFFFF) return;
    facts.geometryKnown = true;
    if (clusterSize % 512 == 0) {
        facts.bytesPerSector = 512;
        facts.sectorsPerCluster = static_cast<std::uint32_t>(clusterSize / 512);
    } else {
        facts.bytesPerSector = static_cast<std::uint32_t>(clusterSize);
        facts.sectorsPerCluster = 1;
    }
}

std::uint32_t componentLength(const VolumeEvidence& e, std::string_view fs) {
    if (const auto known = knownMaximumComponentLength(fs)) return known;
    return e.stat ? static_cast<std::uint32_t>(std::min<std::uint64_t>(e.stat->nameMax, 0xFFFFFFFF))
                  : 0;
}

} // namespace

bool isKernelFatType(std::string_view t) {
    return t == "vfat" || t == "msdos" || t == "fat" || t == "umsdos";
}

bool isFuseFatType(std::string_view t) {
    return t == "fuse.fusefat" || t == "fuse.vfat" || t == "fuse.msdos" || t == "fuse.fat";
}

bool mayHoldFatBootSector(std::string_view t) {
    return isKernelFatType(t) || t == "exfat" || t == "fuse" || t == "fuseblk" ||
           t.starts_with("fuse.");
}

std::optional<std::uint32_t> serialFromUuid(std::string_view uuid) {
    std::string hex;
    if (uuid.size() == 9 && uuid[4] == '-')
        hex = std::string(uuid.substr(0, 4)) + std::string(uuid.substr(5));
    else if (uuid.size() == 16)
        hex = std::string(uuid.substr(8));
    else
        return std::nullopt;
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
    if (error != std::errc() || end != hex.data() + hex.size()) return std::nullopt;
    return value;
}

VolumeFacts describeVolume(const VolumeEvidence& e) {
    VolumeFacts facts;
    auto& info = facts.info;
    const std::string& type = e.mount.type;

    if (e.exfat) {
        const fat::ExfatBootSector& boot = e.exfat->boot;
        info.fileSystem = "exFAT";
        info.name = e.exfat->label;
        info.serial = boot.serial;
        info.remark = e.exfat->remark;
        facts.geometryKnown = true;
        facts.sectorsPerCluster = 1u << boot.sectorsPerClusterShift;
        facts.bytesPerSector = boot.bytesPerSector();
        facts.totalBytes = boot.volumeLength * boot.bytesPerSector();
    } else if (e.boot) {
        info.fileSystem = fat::fatTypeName(e.boot->type);
        info.name = e.rootLabel ? *e.rootLabel : e.boot->label;
        info.serial = e.boot->serial;
        info.remark = fat::fatLayoutRemark(*e.boot);
        facts.geometryKnown = true;
        facts.sectorsPerCluster = e.boot->sectorsPerCluster;
        facts.bytesPerSector = e.boot->bytesPerSector;
        facts.totalBytes = e.boot->totalSectors * e.boot->bytesPerSector;
    } else if (isKernelFatType(type) && e.stat) {
        // The kernel driver: f_bsize is the cluster size and f_blocks the data clusters.
        info.fileSystem = fat::fatTypeName(fat::fatTypeForClusters(e.stat->blocks));
        info.name = e.identity.label;
        info.serial = serialFromUuid(e.identity.uuid).value_or(0);
        splitClusterSize(e.stat->blockSize, facts);
        facts.totalBytes = e.stat->blocks * e.stat->blockSize;
    } else {
        info.fileSystem = fileSystemName(type, e.identity.type);
        info.name = e.identity.label;
        const bool uuidSerial = info.fileSystem == "NTFS" || info.fileSystem == "exFAT" ||
                                isKernelFatType(type) || isFuseFatType(type);
        const auto fromUuid = serialFromUuid(e.identity.uuid);
        if (uuidSerial && fromUuid)
            info.serial = *fromUuid;
        else if (e.stat)
            info.serial = static_cast<std::uint32_t>(e.stat->fsid);
        // A FUSE FAT driver reports fixed 1024-byte blocks whatever the cluster size.
        if (e.stat && !isFuseFatType(type)) {
            splitClusterSize(e.stat->blockSize, facts);
            facts.totalBytes = e.stat->blocks * e.stat->fragmentSize;
        }
    }
    info.flags = capabilityFlags(info.fileSystem);
    info.maxComponentLength = componentLength(e, info.fileSystem);
    return facts;
}

} // namespace kesp
