#pragma once
// This system's own services, as its backend gives them: POSIX on Linux, kernel32 on Windows,
// chosen when the program is built. Tests build their own fakes instead.
#include <memory>

#include "os/environment.h"
#include "os/folder_enum.h"
#include "os/output_files.h"
#include "os/ticks.h"
#include "os/volume_service.h"

namespace kesp {

struct HostServices {
    std::unique_ptr<FolderEnumerator> folders;
    std::unique_ptr<TickCounter> ticks;
    std::unique_ptr<OutputFiles> files;
    std::unique_ptr<VolumeService> volumes;
    std::unique_ptr<ProgramEnvironment> environment;
};

HostServices makeHostServices();

} // namespace kesp
