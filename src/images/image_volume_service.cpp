#include "images/image_volume_service.h"

#include "fat/exfat_folder_reader.h"
#include "fat/folder_reader.h"

namespace kesp {

ImageVolume* ImageVolumeService::volumeOf(const std::string& text) {
    const auto address = images_.addressOf(text);
    std::string error;
    return address ? images_.volume(*address, error) : nullptr;
}

std::optional<std::string> ImageVolumeService::rootPath(const std::string& designation) {
    if (ImageVolume* volume = volumeOf(designation)) return volume->rootPath();
    return std::nullopt;
}

bool ImageVolumeService::probeRoot(const std::string& root) {
    ImageVolume* volume = volumeOf(root);
    if (!volume) return false;
    // An empty root is a volume all the same (just formatted, or every file deleted): only a
    // root that cannot be read fails.
    if (volume->exfat) {
        fat::ExfatFolderReader reader = fat::ExfatFolderReader::root(*volume->exfat);
        fat::ExfatEntry entry;
        return reader.next(entry) || !reader.failure();
    }
    fat::FolderReader reader = fat::FolderReader::root(*volume->fat);
    fat::DirectoryEntry entry;
    return reader.next(entry) || !reader.failure();
}

bool ImageVolumeService::volumeInformation(const std::string& root, VolumeInformation& info) {
    ImageVolume* volume = volumeOf(root);
    if (!volume) return false;
    // What Windows reports for FAT and exFAT volumes alike: names keep their case, long names
    // are UTF-16.
    info.flags = fsflag::CasePreservedNames | fsflag::UnicodeOnDisk;
    info.maxComponentLength = 255;
    info.name = volume->label();
    if (volume->exfat) {
        info.serial = volume->exfat->boot().serial;
        info.fileSystem = "exFAT";
        info.remark = volume->exfat->remark(false);
        return true;
    }
    const fat::FatBootSector& boot = volume->fat->boot();
    info.serial = boot.serial;
    info.fileSystem = fat::fatTypeName(boot.type);
    info.remark = fat::fatLayoutRemark(boot);
    return true;
}

bool ImageVolumeService::diskFreeSpace(const std::string& root, std::uint32_t& sectorsPerCluster,
                                       std::uint32_t& bytesPerSector) {
    ImageVolume* volume = volumeOf(root);
    if (!volume) return false;
    if (volume->exfat) {
        const fat::ExfatBootSector& boot = volume->exfat->boot();
        sectorsPerCluster = 1u << boot.sectorsPerClusterShift;
        bytesPerSector = boot.bytesPerSector();
        return true;
    }
    sectorsPerCluster = volume->fat->boot().sectorsPerCluster;
    bytesPerSector = volume->fat->boot().bytesPerSector;
    return true;
}

int ImageVolumeService::readiness(const std::string& root) {
    return volumeOf(root) ? 0 : kErrorDeviceUnavailable;
}

std::string ImageVolumeService::driveOf(const std::string& folder) {
    ImageVolume* volume = volumeOf(folder);
    return volume ? volume->driveEntry() : std::string();
}

std::uint64_t ImageVolumeService::totalMegabytes(const std::string& root) {
    return totalBytes(root) / (1024 * 1024);
}

std::uint64_t ImageVolumeService::totalBytes(const std::string& root) {
    ImageVolume* volume = volumeOf(root);
    if (!volume) return 0;
    return volume->exfat ? volume->exfat->geometry().volumeBytes
                         : volume->fat->geometry().volumeBytes;
}

} // namespace kesp
