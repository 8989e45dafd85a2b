#include "os/number_chars.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

namespace kesp {

NumberChars userNumberChars() {
    NumberChars chars;
    // "" reads LC_ALL, LC_NUMERIC and LANG as setlocale would, without touching the process.
    locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return chars; // unknown locale: C characters
    const char* grouping = nl_langinfo_l(THOUSEP, loc);
    const char* decimal = nl_langinfo_l(RADIXCHAR, loc);
    // The C locale has no grouping character; the masks still need one.
    if (grouping && *grouping) chars.grouping = grouping;
    if (decimal && *decimal) chars.decimal = decimal;
    freelocale(loc);
    return chars;
}

} // namespace kesp
