#include "os/win32/drive_letter.h"

namespace kesp {

std::optional<std::string> win32RootPath(std::string_view designation) {
    const auto first = designation.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    char letter = designation[first];
    if (letter >= 'a' && letter <= 'z') letter = char(letter - 'a' + 'A');
    if (letter < 'A' || letter > 'Z') return std::nullopt;
    return std::string{letter, ':', '\\'};
}

std::string win32EntryRoot(std::string_view entry) {
    return std::string(entry.substr(0, 2)) + '\\';
}

} // namespace kesp
