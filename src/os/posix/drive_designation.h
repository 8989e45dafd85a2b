#pragma once
// Drive designations on Linux: a drive is a mount point; its drive-list entry is the mount point,
// followed by " [label]" when the volume has a label.
#include <string>
#include <string_view>
#include <vector>

namespace kesp {

// Leading and trailing blanks removed (blanks only, as the designation rule trims).
std::string trimBlanks(std::string_view text);

// "mountpoint" or "mountpoint [label]"; the label's control characters written as "\x1B", so
// that a label cannot break the line or the list it is shown in.
std::string driveEntryText(std::string_view mountPoint, std::string_view label);

// The entry of a mount that did not answer in time: "mountpoint (ne répond pas)".
inline constexpr std::string_view kUnresponsiveSuffix = " (ne répond pas)";
std::string unresponsiveEntryText(std::string_view mountPoint);

// The mount points a trimmed designation may name, most literal first: the whole text, then the
// text before each " [" when it ends with "]", or the text before kUnresponsiveSuffix (a label may
// itself hold " [" or "]"). Trailing slashes are dropped, except for "/" itself.
std::vector<std::string> mountPointCandidates(std::string_view trimmed);

// The root path of a mount point: the mount point ending with "/".
std::string rootOfMountPoint(std::string_view mountPoint);

} // namespace kesp
