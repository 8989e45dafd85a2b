#pragma once
// Prints a UTF-8 text file on a named printer with GDI, in a fixed-pitch font, one line per text
// line (tabs to the next of every eight characters), as many pages as it takes.
#include <string>

#include "os/printer.h"

namespace kesp {

// Empty when the job was handed to the spooler; otherwise why not, in French.
std::string printTextFile(const std::string& textFile, const std::string& printer, int copies);

// The printing service on Windows: the job is spooled before print() returns.
class GdiPrinter final : public Printer {
public:
    void print(const std::string& textFile, const PrintChoice& choice,
               std::function<void(const std::string& message)> failed) override {
        const std::string why = printTextFile(textFile, choice.printer, choice.copies);
        if (!why.empty()) failed("L'impression de " + textFile + " a échoué.\r\n" + why);
    }
};

} // namespace kesp
