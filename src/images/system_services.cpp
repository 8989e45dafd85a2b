#include "images/system_services.h"

#include "images/routed_services.h"
#include "os/posix/environment.h"
#include "os/posix/folder_enum_posix.h"
#include "os/posix/output_files_posix.h"
#include "os/posix/ticks_posix.h"
#include "os/posix/volume_service_posix.h"

namespace kesp {

SystemServices makeSystemServices() {
    // The routed services share the registry and keep it alive; `images` only points at it.
    auto images = std::make_shared<ImageRegistry>();
    return {
        std::make_unique<RoutedFolderEnumerator>(std::make_unique<PosixFolderEnumerator>(), images),
        std::make_unique<PosixTicks>(),
        std::make_unique<PosixOutputFiles>(),
        std::make_unique<RoutedVolumeService>(makePosixVolumeService(), images),
        std::make_unique<PosixEnvironment>(),
        images.get()};
}

} // namespace kesp
