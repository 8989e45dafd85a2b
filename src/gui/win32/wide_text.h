#pragma once
// The window speaks UTF-16 to the system and UTF-8 to the rest of the program.
#include <string>
#include <string_view>

namespace kesp {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view text);

} // namespace kesp
