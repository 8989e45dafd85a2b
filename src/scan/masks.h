#pragma once
// Every number mask and character mask the program writes figures through. Grouping and decimal
// characters are passed in (the user's LC_NUMERIC); blanks inside a mask are literal.
#include <cstdint>
#include <string>
#include <string_view>

#include "os/number_chars.h"

namespace kesp {

inline constexpr std::string_view kMaskCount = "#,###,###,##0";   // FormatNombre
inline constexpr std::string_view kMaskMegabytesEnd = "##0.##";   // end-of-run loss
inline constexpr std::string_view kMaskMegabytesRun = "##0.00";   // loss during the walk
inline constexpr std::string_view kMaskDiskSize = "###,###";      // drive header figure
inline constexpr std::string_view kMaskTable = "### ### ### ##0"; // optimisation table
inline constexpr std::string_view kMaskSubtotal = "@ @@@ @@@ @@@";
inline constexpr std::string_view kMaskDetailNumber = "@@@ @@@ @@@";
inline constexpr std::string_view kMaskDetailName = "!@@@@@@@@@@@@@@@";

// A number mask applied to numerator / denominator, rounded half up at the mask's last decimal.
// "#" optional digit, "0" digit always written, "," grouping by three with chars.grouping,
// "." the decimal character (written whenever the mask has one), a blank a literal blank that is
// dropped while no digit stands to its left. Digits beyond the mask's positions are kept in front.
std::string formatNumber(std::string_view mask, std::uint64_t numerator, std::uint64_t denominator,
                         const NumberChars& chars);

inline std::string formatNumber(std::string_view mask, std::uint64_t value,
                                const NumberChars& chars) {
    return formatNumber(mask, value, 1, chars);
}

// Bytes as megabytes of 1024 x 1024 bytes.
inline std::string formatMegabytes(std::string_view mask, std::uint64_t bytes,
                                   const NumberChars& chars) {
    return formatNumber(mask, bytes, 1024u * 1024u, chars);
}

// A character mask: each "@" takes one character of `text`, filled from the right (from the left
// when the mask starts with "!"); positions left empty are blanks, other mask characters literal.
// Characters that find no position are kept whole, in front (or behind for "!"). A character is a
// code point when `text` is valid UTF-8, else a byte.
std::string applyCharMask(std::string_view mask, std::string_view text);

std::string applyCharMask(std::string_view mask, std::int64_t value);

} // namespace kesp
