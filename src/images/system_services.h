#pragma once
// The Qt-free services of the system the program runs on, for the front ends to hand to the
// engine. Tests build their own fakes instead.
#include <memory>

#include "images/image_volumes.h"
#include "os/environment.h"
#include "os/folder_enum.h"
#include "os/output_files.h"
#include "os/ticks.h"
#include "os/volume_service.h"

namespace kesp {

struct SystemServices {
    std::unique_ptr<FolderEnumerator> folders;
    std::unique_ptr<TickCounter> ticks;
    std::unique_ptr<OutputFiles> files;
    std::unique_ptr<VolumeService> volumes;
    std::unique_ptr<ProgramEnvironment> environment;
    // The images opened into the volume list, served by `volumes` and `folders`; null where the
    // build reads no images.
    ImageVolumes* images = nullptr;
};

// POSIX on Linux, kernel32 on Windows; chosen when the program is built.
SystemServices makeSystemServices();

} // namespace kesp
