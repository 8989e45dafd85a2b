#pragma once
// Whether two names given for output designate one file.
#include <string>

namespace kesp {

// True when `a` and `b` name the same file: the same file once opened, or, before either
// exists, the same name in the same folder (reached through whatever links lead to it) — on a
// volume that ignores case, names that differ only in case are the same.
bool sameOutputFile(const std::string& a, const std::string& b);

// True when the folder that would hold the file `path` is `folder` or lies below it on the same
// file system, however either is reached (links, bind mounts): where a walk of `folder` would
// meet the file. False when either cannot be found.
bool isWithinFolder(const std::string& path, const std::string& folder);

} // namespace kesp
