#include "os/file_identity.h"

#include <windows.h>

namespace kesp {

namespace {

std::string fullPath(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return n == 0 || n >= MAX_PATH ? path : std::string(buffer, n);
}

} // namespace

bool sameOutputFile(const std::string& a, const std::string& b) {
    // Windows volumes ignore case; once both exist, their file IDs decide.
    if (CompareStringOrdinal(std::wstring(a.begin(), a.end()).c_str(), -1,
                             std::wstring(b.begin(), b.end()).c_str(), -1, TRUE) == CSTR_EQUAL)
        return true;
    if (lstrcmpiA(fullPath(a).c_str(), fullPath(b).c_str()) == 0) return true;
    auto open = [](const std::string& p) {
        return CreateFileA(p.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    };
    const HANDLE ha = open(a);
    const HANDLE hb = open(b);
    bool same = false;
    BY_HANDLE_FILE_INFORMATION ia{};
    BY_HANDLE_FILE_INFORMATION ib{};
    if (ha != INVALID_HANDLE_VALUE && hb != INVALID_HANDLE_VALUE &&
        GetFileInformationByHandle(ha, &ia) && GetFileInformationByHandle(hb, &ib))
        same = ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
               ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
    if (ha != INVALID_HANDLE_VALUE) CloseHandle(ha);
    if (hb != INVALID_HANDLE_VALUE) CloseHandle(hb);
    return same;
}

bool isWithinFolder(const std::string& path, const std::string& folder) {
    // The file's folder, then the folder itself followed by a separator, compared without case.
    std::string file = fullPath(path);
    const auto slash = file.find_last_of("\\/");
    if (slash == std::string::npos) return false;
    file.resize(slash + 1);
    std::string top = fullPath(folder);
    if (top.empty()) return false;
    if (top.back() != '\\' && top.back() != '/') top.push_back('\\');
    return file.size() >= top.size() &&
           lstrcmpiA(file.substr(0, top.size()).c_str(), top.c_str()) == 0;
}

} // namespace kesp
