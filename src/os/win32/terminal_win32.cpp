#include "os/terminal.h"

#include <windows.h>

namespace kesp {

bool isTerminal(StandardStream stream) {
    const HANDLE handle =
        GetStdHandle(stream == StandardStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    // A character device is not enough: NUL is one too. Only a console has a mode.
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) == FILE_TYPE_CHAR && GetConsoleMode(handle, &mode) != 0;
}

} // namespace kesp
