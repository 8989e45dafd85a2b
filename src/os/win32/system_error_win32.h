#pragma once
#include <string>

namespace kesp {

// The system's text for a Win32 error number, without its trailing line break.
std::string win32ErrorText(unsigned long error);

} // namespace kesp
