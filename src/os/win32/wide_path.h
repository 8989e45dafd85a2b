#pragma once
// Paths between the program's UTF-8 and the wide calls of the system.
#include <string>
#include <string_view>

namespace kesp {

std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view text);

// `path` made absolute and normal by the system; as it is when that fails.
std::wstring fullWidePath(const std::wstring& path);

// `path` as CreateFileW and GetFileAttributesW take it: made absolute, and beyond MAX_PATH in
// the "\\?\" form; device names as they are.
std::wstring systemPath(const std::string& path);

} // namespace kesp
