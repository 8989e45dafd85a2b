#pragma once
// The host file system's folders, as the window's folder picker sees them.
#include <string>

namespace kesp {

// Whether `path` names a folder (through links); false on any error.
bool isHostFolder(const std::string& path);
// The process's current folder; empty when it cannot be read.
std::string currentHostFolder();

} // namespace kesp
