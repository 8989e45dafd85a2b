#include "platform/system_services.h"

#include "platform/image/routed_services.h"
#include "platform/posix/environment.h"
#include "platform/posix/folder_enum_posix.h"
#include "platform/posix/output_files_posix.h"
#include "platform/posix/ticks_posix.h"
#include "platform/posix/volume_service_posix.h"

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
