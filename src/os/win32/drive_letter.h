#pragma once
// Windows drive designations: only the first character after leading blanks matters; it must be
// a letter, and the root it names is that letter, upper-cased, followed by ":\".
// Pure logic, built on every platform so the rule is tested everywhere.
#include <optional>
#include <string>
#include <string_view>

namespace kesp {

// "D:\" for "d:", "  d: [DATA]", "D:\work" or "d"; nullopt for an empty, blank or non-letter one.
std::optional<std::string> win32RootPath(std::string_view designation);

// The root CalculCluster uses for a Drive1 entry: its first two characters, in the case the drive
// list shows them, followed by "\" ("c: [SYSTEME]" gives "c:\").
std::string win32EntryRoot(std::string_view entry);

} // namespace kesp
