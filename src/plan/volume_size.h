#pragma once
// The plan window's volume size as a user types it ("512 Mo", "64 Go", "1,5 To", "64 GiB",
// "128G", "1 073 741 824"), and, for anything else, why not, in French.
#include <cstdint>
#include <string>
#include <string_view>

#include "fat/format_layout.h"
#include "os/number_chars.h"

namespace kesp::plan {

// The largest volume the plan lays out: where exFAT's formatters stop (Windows' table ends at
// 256 TB). FAT's layouts stop sooner, at 2^32 - 1 sectors of 512 bytes (fat::kLargestVolumeBytes).
inline constexpr std::uint64_t kLargestVolumeBytes = std::uint64_t{256} << 40;

// "WHAT : au plus 281474976710656 octets (256 Tio), le plus grand volume que le plan traite".
std::string tooLargeMessage(const std::string& what);

struct VolumeSize {
    std::uint64_t bytes = 0; // 0 when refused
    std::string error;       // empty when read
};

// A number, then a unit or none (bytes); case does not matter, blanks may stand between them.
//   o, octet(s), B                                  bytes
//   Ko, Mo, Go, To; Kio…Tio; KiB…TiB; K, M, G, T    powers of 1024, the "Mo" of every other
//                                                   figure in Kesp
//   kB, MB, GB, TB                                  powers of 1000, as card makers count
// Digits may be grouped by blanks (no-break ones too) or by the locale's grouping character,
// in threes; a decimal part follows "," or ".". A fraction of a byte is dropped. Refused: an
// empty text, a sign, anything that is not a number and a unit, 0, a fraction of a unit of
// bytes, and sizes past kLargestVolumeBytes (said so, never capped).
VolumeSize parseVolumeSize(std::string_view text, const NumberChars& chars);

// The field's tooltip: which units are read, and which are of 1024.
std::string volumeSizeHelp();

} // namespace kesp::plan
