#include "platform/system_services.h"

#include "platform/image/routed_services.h"
#include "platform/win32/environment_win32.h"
#include "platform/win32/folder_enum_win32.h"
#include "platform/win32/output_files_win32.h"
#include "platform/win32/ticks_win32.h"
#include "platform/win32/volume_service_win32.h"

namespace kesp {

SystemServices makeSystemServices() {
    // The routed services share the registry and keep it alive; `images` only points at it.
    auto images = std::make_shared<ImageRegistry>();
    return {
        std::make_unique<RoutedFolderEnumerator>(std::make_unique<Win32FolderEnumerator>(), images),
        std::make_unique<Win32Ticks>(),
        std::make_unique<Win32OutputFiles>(),
        std::make_unique<RoutedVolumeService>(makeWin32VolumeService(), images),
        std::make_unique<Win32Environment>(),
        images.get()};
}

} // namespace kesp
