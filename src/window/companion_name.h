#pragma once
#include <string>

namespace kesp {

// The name the table file is saved under beside the report: the chosen path less the extension
// of its file name, followed by "excel.txt". Only the file name is cut, so a "." in a folder
// name never moves the table elsewhere; a leading "." (a hidden file) is not an extension.
std::string NomCompagnon(const std::string& chemin);

} // namespace kesp
