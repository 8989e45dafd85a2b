#include "os/host_folder.h"

#include <windows.h>

#include "os/win32/device_names.h"
#include "os/win32/wide_path.h"

namespace kesp {

bool isHostFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(systemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string currentHostFolder() {
    const DWORD needed = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(needed, L'\0');
    const DWORD length = GetCurrentDirectoryW(needed, folder.data());
    if (length == 0 || length >= needed) return {};
    folder.resize(length);
    return utf8Text(folder);
}

std::string absoluteHostPath(const std::string& path) {
    // GetFullPathName would make "\\.\E:" a path on the current drive.
    if (isWin32DeviceName(path)) return path;
    return utf8Text(fullWidePath(wideText(path)));
}

} // namespace kesp
