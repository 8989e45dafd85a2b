#include "os/win32/system_error_win32.h"

#include <windows.h>

namespace kesp {

std::string win32ErrorText(unsigned long error) {
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r'))
        --length;
    if (length == 0) return "erreur " + std::to_string(error);
    return std::string(buffer, length);
}

} // namespace kesp
