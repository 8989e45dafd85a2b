#include "platform/number_chars.h"

#include <clocale>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace kesp {

namespace {

// The LC_NUMERIC locale name the environment asks for, in POSIX precedence.
const char* numericLocaleName() {
    for (const char* var : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return value;
    }
    return "C";
}

} // namespace

NumberChars userNumberChars() {
    NumberChars chars;
    locale_t loc = newlocale(LC_NUMERIC_MASK, numericLocaleName(), static_cast<locale_t>(0));
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
