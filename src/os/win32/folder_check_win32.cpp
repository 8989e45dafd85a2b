#include "os/folder_check.h"

#include <windows.h>

#include "os/win32/device_names.h"
#include "os/win32/system_error_win32.h"
#include "os/win32/wide_path.h"

namespace kesp {

PathCheck checkFolder(const std::string& path) {
    // A volume or a disk is what an image can be read from, as a block device is on POSIX; it
    // has no attributes to ask for.
    if (isWin32DeviceName(path)) return {PathKind::NotFolder, {}};
    const std::wstring name = systemPath(path);
    // No Windows file system holds a name of more than 255 characters; past MAX_PATH the system
    // would only call it missing.
    std::size_t component = 0;
    for (const wchar_t c : name) {
        component = c == L'\\' || c == L'/' ? 0 : component + 1;
        if (component > 255)
            return {PathKind::Unreachable, win32ErrorText(ERROR_FILENAME_EXCED_RANGE)};
    }
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        // A missing drive or middle folder is as absent as a missing last name.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
            error == ERROR_INVALID_DRIVE)
            return {PathKind::Missing, {}};
        return {PathKind::Unreachable, win32ErrorText(error)};
    }
    return {attributes & FILE_ATTRIBUTE_DIRECTORY ? PathKind::Folder : PathKind::NotFolder, {}};
}

} // namespace kesp
