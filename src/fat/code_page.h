#pragma once
// The OEM code pages of FAT short names. 850 is what mtools and a Western European Windows
// write; 437 is the Linux vfat driver's default.
#include <optional>

namespace kesp::fat {

enum class CodePage { Cp437, Cp850 };

// The character a short-name byte stands for.
char32_t oemToUnicode(unsigned char byte, CodePage page);

// The byte that spells `c` in the code page; nullopt when it has none.
std::optional<unsigned char> unicodeToOem(char32_t c, CodePage page);

} // namespace kesp::fat
