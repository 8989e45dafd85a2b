#pragma once
#include <ostream>
#include <string_view>

namespace kesp {

// One line as the run made it, bytes unchanged, ended by "\n".
inline void writeLine(std::ostream& out, std::string_view line) {
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.put('\n');
}

} // namespace kesp
