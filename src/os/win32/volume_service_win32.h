#pragma once
// The Windows volume service over kernel32's ANSI calls: drive letters, GetDiskFreeSpaceA,
// GetVolumeInformationA and a FindFirstFileA probe of the root. Built only for Windows.
#include <memory>

#include "os/volume_service.h"

namespace kesp {

std::unique_ptr<VolumeService> makeWin32VolumeService();

} // namespace kesp
