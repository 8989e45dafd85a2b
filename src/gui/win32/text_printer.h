#pragma once
// Prints a UTF-8 text file on a named printer with GDI, in a fixed-pitch font, one line per text
// line, as many pages as it takes.
#include <string>

namespace kesp {

// Empty when the job was handed to the spooler; otherwise why not, in French.
std::string printTextFile(const std::string& textFile, const std::string& printer, int copies);

} // namespace kesp
