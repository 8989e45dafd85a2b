#include "os/folder_check.h"

#include <windows.h>

#include "os/win32/system_error_win32.h"

namespace kesp {

PathCheck checkFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
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
