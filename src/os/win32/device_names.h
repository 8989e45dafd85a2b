#pragma once
// Windows names of devices and long paths, and the refusals met in opening them. Pure logic,
// built on every platform so the rules are tested everywhere.
#include <string>
#include <string_view>

namespace kesp {

// "\\.\E:" (a volume), "\\.\PhysicalDrive2" (a disk): read as images, never as folders.
bool isWin32DeviceName(std::string_view path);

// `fullPath` (absolute, normal) as the wide calls take it past MAX_PATH: "\\?\C:\…" or
// "\\?\UNC\server\share\…"; shorter paths, device names and paths already in that form as they
// are.
std::wstring win32LongPathForm(std::wstring fullPath);

// Why `path` may not be read: a device only by a program run as administrator; a file for the
// system's reason `systemText`.
std::string win32AccessRefusal(const std::string& path, const std::string& systemText);

// Why `path` cannot be read while another program holds it without sharing it.
std::string win32SharingRefusal(const std::string& path);

} // namespace kesp
