#include "os/host_services.h"
#include "os/win32/environment_win32.h"
#include "os/win32/folder_enum_win32.h"
#include "os/win32/output_files_win32.h"
#include "os/win32/ticks_win32.h"
#include "os/win32/volume_service_win32.h"

namespace kesp {

HostServices makeHostServices() {
    return {std::make_unique<Win32FolderEnumerator>(), std::make_unique<Win32Ticks>(),
            std::make_unique<Win32OutputFiles>(), makeWin32VolumeService(),
            std::make_unique<Win32Environment>()};
}

} // namespace kesp
