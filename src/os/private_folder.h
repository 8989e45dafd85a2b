#pragma once
// Folders only this user can enter, for the window's result files when no "temp" is set: in a
// shared folder like /tmp another user could otherwise plant links or files under their names.
#include <string>

namespace kesp {

// `path` is a folder (not a link to one) owned by this user, that no other user can enter.
bool isPrivateFolder(const std::string& path);
// Makes `path` a private folder (created with mode 0700 in one step), or accepts it when it
// already is one; false when something else stands there or it cannot be made.
bool makePrivateFolder(const std::string& path);
// A new private folder named `prefix` followed by six random characters; empty on failure.
std::string makeFreshPrivateFolder(const std::string& prefix);

// This user's and this process's numbers, as text for file names.
std::string userTag();
std::string processTag();

} // namespace kesp
