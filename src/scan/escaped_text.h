#pragma once
// Names and labels as they may be written where a control byte would do harm: a TAB or a line
// break in a name would add cells or rows to the table file (a row that a spreadsheet then
// reads as a formula), and an ESC would drive the terminal. Such a byte is written "\xHH"; in a
// text that needed one, "\" is written "\\" as well, so that the text reads back unambiguously.
// A text that needs no escape is left exactly as it is.
#include <string>
#include <string_view>

namespace kesp {

enum class EscapeFor {
    Table,    // every byte below 0x20, and 0x7F
    Report,   // CR and LF only: the report is read as lines, nothing else of a name changes
    Terminal, // every byte below 0x20, and 0x7F
};

std::string escapedFor(EscapeFor where, std::string_view text);
// Whether escapedFor would change `text`: most texts need nothing, and need no copy either.
bool needsEscape(EscapeFor where, std::string_view text);

} // namespace kesp
