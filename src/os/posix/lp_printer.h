#pragma once
// Printing through CUPS: "lp -d PRINTER -n COPIES -- FILE", started without a shell.
#include "os/launcher.h"
#include "os/printer.h"

namespace kesp {

class LpPrinter final : public Printer {
public:
    explicit LpPrinter(ProgramLauncher& launcher) : launcher_(launcher) {}
    // lp queues the job and exits; its refusal (no printer, no scheduler) arrives later, with
    // its own message.
    void print(const std::string& textFile, const PrintChoice& choice,
               std::function<void(const std::string& message)> failed) override;

private:
    ProgramLauncher& launcher_;
};

} // namespace kesp
