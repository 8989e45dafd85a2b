#include "platform/system_services.h"

#include "platform/posix/environment.h"
#include "platform/posix/folder_enum_posix.h"
#include "platform/posix/output_files_posix.h"
#include "platform/posix/ticks_posix.h"
#include "platform/posix/volume_service_posix.h"

namespace kesp {

SystemServices makeSystemServices() {
    return {std::make_unique<PosixFolderEnumerator>(), std::make_unique<PosixTicks>(),
            std::make_unique<PosixOutputFiles>(), makePosixVolumeService(),
            std::make_unique<PosixEnvironment>()};
}

} // namespace kesp
