#include "platform/number_chars.h"

#include <windows.h>

namespace kesp {
namespace {

std::string localeText(LCTYPE what) {
    char buffer[16] = {};
    const int length = GetLocaleInfoA(LOCALE_USER_DEFAULT, what, buffer, sizeof buffer);
    return length > 1 ? std::string(buffer, static_cast<std::size_t>(length - 1)) : std::string();
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
