#include "os/number_chars.h"

#include <windows.h>

namespace kesp {
namespace {

// Asked in UTF-16 and handed on in UTF-8: GetLocaleInfoA would answer in the locale's own
// code page (0xA0 for the French grouping space), whatever the process's code page.
std::string localeText(LCTYPE what) {
    wchar_t wide[16] = {};
    const int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, what, wide, 16);
    if (length <= 1) return {};
    char utf8[64] = {};
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, wide, length - 1, utf8, sizeof utf8, nullptr, nullptr);
    return bytes > 0 ? std::string(utf8, static_cast<std::size_t>(bytes)) : std::string();
}

} // namespace

NumberChars userNumberChars() {
    NumberChars chars;
    if (std::string grouping = localeText(LOCALE_STHOUSAND); !grouping.empty())
        chars.grouping = grouping;
    if (std::string decimal = localeText(LOCALE_SDECIMAL); !decimal.empty())
        chars.decimal = decimal;
    return chars;
}

} // namespace kesp
