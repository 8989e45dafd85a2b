#include "os/private_folder.h"

#include <windows.h>

namespace kesp {

// The Windows build keeps "temp" (a folder of the user's profile) and the drive "c:"; these
// only have to exist for it.
bool isPrivateFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool makePrivateFolder(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
    return isPrivateFolder(path);
}

std::string makeFreshPrivateFolder(const std::string& prefix) {
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::string path = prefix + std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
    }
    return {};
}

std::string userTag() {
    char name[256];
    DWORD size = sizeof name;
    return GetUserNameA(name, &size) ? std::string(name) : std::string("user");
}

std::string processTag() {
    return std::to_string(GetCurrentProcessId());
}

} // namespace kesp
