#include "os/host_services.h"
#include "os/posix/environment.h"
#include "os/posix/folder_enum_posix.h"
#include "os/posix/output_files_posix.h"
#include "os/posix/ticks_posix.h"
#include "os/posix/volume_service_posix.h"

namespace kesp {

HostServices makeHostServices() {
    return {std::make_unique<PosixFolderEnumerator>(), std::make_unique<PosixTicks>(),
            std::make_unique<PosixOutputFiles>(), makePosixVolumeService(),
            std::make_unique<PosixEnvironment>()};
}

} // namespace kesp
