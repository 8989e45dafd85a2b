#pragma once
// What every front end hands the engine: this system's own services, with the disk images the
// program opens routed beside the host's volumes. Tests build their own fakes instead.
#include "images/image_volumes.h"
#include "os/host_services.h"

namespace kesp {

struct SystemServices : HostServices {
    // The images opened into the volume list, served by `volumes` and `folders`; null where the
    // program reads no images.
    ImageVolumes* images = nullptr;
};

// The one place where a program's services are put together.
SystemServices makeSystemServices();

} // namespace kesp
