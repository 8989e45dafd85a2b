#include "os/win32/environment_win32.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

namespace kesp {

std::optional<std::string> Win32Environment::variable(const std::string& name) {
    // Windows looks environment names up without regard to case, so "temp" finds TEMP.
    const DWORD needed = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
    if (needed == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
        return std::string();
    }
    std::vector<char> value(needed);
    const DWORD length = GetEnvironmentVariableA(name.c_str(), value.data(), needed);
    return std::string(value.data(), length < needed ? length : 0);
}

std::string Win32Environment::programFile() {
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (length == 0) return {};
        if (length < path.size()) return std::string(path.data(), length);
        path.resize(path.size() * 2);
    }
}

bool Win32Environment::lastModified(const std::string& path, std::tm& local) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    FILETIME localTime;
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &localTime) ||
        !FileTimeToSystemTime(&localTime, &t))
        return false;
    local = std::tm{};
    local.tm_year = t.wYear - 1900;
    local.tm_mon = t.wMonth - 1;
    local.tm_mday = t.wDay;
    local.tm_hour = t.wHour;
    local.tm_min = t.wMinute;
    local.tm_sec = t.wSecond;
    local.tm_wday = t.wDayOfWeek;
    return true;
}

std::string Win32Environment::documentsFolder() {
    // With the UTF-8 code page of the manifest, the ANSI call gives UTF-8.
    char path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path)) &&
        path[0] != '\0')
        return path;
    return variable("USERPROFILE").value_or("");
}

} // namespace kesp
