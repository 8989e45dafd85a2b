#include "os/terminal.h"

#include <unistd.h>

namespace kesp {

bool isTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Out ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace kesp
