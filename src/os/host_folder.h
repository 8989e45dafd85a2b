#pragma once
// The host file system's folders and paths, as the window's folder picker and the image names
// see them.
#include <string>

namespace kesp {

// Whether `path` names a folder (through links); false on any error.
bool isHostFolder(const std::string& path);
// The process's current folder; empty when it cannot be read.
std::string currentHostFolder();
// `path` made absolute against the current folder, without "." and ".." nor doubled separators;
// links are kept as named, and a Windows device name ("\\.\E:") as it is.
std::string absoluteHostPath(const std::string& path);

} // namespace kesp
