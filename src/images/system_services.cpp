#include "images/system_services.h"

#include "images/routed_services.h"

namespace kesp {

SystemServices makeSystemServices() {
    HostServices host = makeHostServices();
#ifdef _WIN32
    // Images are read on every system, but not offered on Windows yet: there the image syntax
    // "IMAGE:N:/PATH" meets the drive letters, and reading devices needs sector-aligned reads.
    return {std::move(host), nullptr};
#else
    // The routed services share the registry and keep it alive; `images` only points at it.
    auto images = std::make_shared<ImageRegistry>();
    host.folders = std::make_unique<RoutedFolderEnumerator>(std::move(host.folders), images);
    host.volumes = std::make_unique<RoutedVolumeService>(std::move(host.volumes), images);
    return {std::move(host), images.get()};
#endif
}

} // namespace kesp
