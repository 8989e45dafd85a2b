#pragma once
// What save and print may read as a result file.
#include <string>

namespace kesp {

// Why `path` is not to be read as one of this user's result files: a symbolic link (never
// followed), anything but a regular file, another user's file. Empty when it may be read.
std::string ownFileRefusal(const std::string& path);

} // namespace kesp
