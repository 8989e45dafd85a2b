#pragma once
// Whether the names the system hands over arrive whole, in UTF-8.
#include <string>

namespace kesp {

// Empty where names and result files are UTF-8 throughout; otherwise the French line that
// warns the user once (a Windows older than 10 version 1903 ignores the program's UTF-8 code
// page: names outside the ANSI code page cannot be read).
std::string legacyCodePageNotice();

} // namespace kesp
