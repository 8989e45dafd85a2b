#include "os/temp_cleanup.h"

#include <windows.h>

namespace kesp {

int SupprimerFichiersTemporaires(const std::string& dossier) {
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA((dossier + "\\~qk*.tmp").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int deleted = 0;
    do {
        // A reparse point (a link) is left alone, like a folder.
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        if (DeleteFileA((dossier + "\\" + data.cFileName).c_str())) ++deleted;
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return deleted;
}

} // namespace kesp
