#include "os/own_file.h"

#include <windows.h>

#include "os/win32/system_error_win32.h"

namespace kesp {

std::string ownFileRefusal(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return win32ErrorText(GetLastError());
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return "le fichier est un lien, il n'est pas suivi";
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "ce n'est pas un fichier ordinaire";
    return {};
}

} // namespace kesp
