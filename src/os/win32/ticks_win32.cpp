#include "os/win32/ticks_win32.h"

#include <windows.h>

namespace kesp {

std::uint32_t Win32Ticks::now() {
    return static_cast<std::uint32_t>(GetTickCount());
}

} // namespace kesp
