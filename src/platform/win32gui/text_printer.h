#pragma once
// Prints UTF-8 text on a named printer with GDI, in a fixed-pitch font, one line per text line
// (tabs to the next of every eight characters), as many pages as it takes.
#include <string>
#include <vector>

namespace kesp {

// Empty when the job was handed to the spooler; otherwise why not, in French.
std::string printTextFile(const std::string& textFile, const std::string& printer, int copies);
// The same for lines held in memory; `document` names the job in the printer's queue.
std::string printTextLines(const std::vector<std::string>& lines, const std::string& document,
                           const std::string& printer, int copies);

} // namespace kesp
