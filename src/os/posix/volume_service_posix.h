#pragma once
// The Linux volume service: the drive list is the mount table, a drive designation is a mount
// point (optionally followed by " [label]"), and FAT geometry comes from the boot sector of the
// mount's source.
#include <memory>
#include <string>

#include "os/volume_service.h"

namespace kesp {

// Reads /proc/self/mountinfo afresh on every call, so mounts made or removed meanwhile are seen.
std::unique_ptr<VolumeService> makePosixVolumeService();

// Same, over another mount table file (tests).
std::unique_ptr<VolumeService> makePosixVolumeService(std::string mountInfoPath);

} // namespace kesp
