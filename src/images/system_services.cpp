#include "images/system_services.h"

#include "images/routed_services.h"

namespace kesp {

SystemServices makeSystemServices() {
    HostServices host = makeHostServices();
    // The routed services share the registry and keep it alive; `images` only points at it.
    auto images = std::make_shared<ImageRegistry>();
    host.folders = std::make_unique<RoutedFolderEnumerator>(std::move(host.folders), images);
    host.volumes = std::make_unique<RoutedVolumeService>(std::move(host.volumes), images);
    return {std::move(host), images.get()};
}

} // namespace kesp
