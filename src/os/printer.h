#pragma once
// Printing a text file: CUPS' lp on Linux (os/posix), the Windows spooler through GDI
// (gui/win32). Tests use the lp backend over a fake launcher.
#include <functional>
#include <string>

#include "os/dialogs.h"

namespace kesp {

class Printer {
public:
    virtual ~Printer() = default;
    // Hands `textFile` (UTF-8 lines) to the printer and for the copies `choice` names, and returns
    // without waiting for the paper. A failure is told to `failed` with the whole message (French,
    // naming the file), at once or later on the caller's thread; whatever `failed` captures must
    // outlive the job.
    virtual void print(const std::string& textFile, const PrintChoice& choice,
                       std::function<void(const std::string& message)> failed) = 0;
};

} // namespace kesp
