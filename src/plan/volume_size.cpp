#include "plan/volume_size.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <vector>

#include "scan/masks.h"

namespace kesp::plan {
namespace {

__extension__ typedef unsigned __int128 Wide;

// Longer than any size worth reading: more whole digits are refused before any arithmetic, and
// decimals past the 18th (far below a byte) are not read, so that no product leaves 128 bits.
constexpr std::size_t kMostDigits = 30;
constexpr std::size_t kMostDecimals = 18;

struct Unit {
    std::string_view name; // lower case
    std::uint64_t bytes;
};

constexpr std::uint64_t Ki = 1024, Mi = Ki * Ki, Gi = Mi * Ki, Ti = Gi * Ki;
constexpr std::uint64_t K = 1000, M = K * K, G = M * K, T = G * K;

// A row per size.
// clang-format off
constexpr std::array<Unit, 27> kUnits = {{
    {"", 1},     {"o", 1},     {"octet", 1}, {"octets", 1}, {"b", 1},  {"byte", 1}, {"bytes", 1},
    {"k", Ki},   {"ko", Ki},   {"kio", Ki},  {"kib", Ki},   {"kb", K},
    {"m", Mi},   {"mo", Mi},   {"mio", Mi},  {"mib", Mi},   {"mb", M},
    {"g", Gi},   {"go", Gi},   {"gio", Gi},  {"gib", Gi},   {"gb", G},
    {"t", Ti},   {"to", Ti},   {"tio", Ti},  {"tib", Ti},   {"tb", T},
}};
// clang-format on

std::optional<std::uint64_t> unitBytes(std::string unit) {
    std::transform(unit.begin(), unit.end(), unit.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const Unit& u : kUnits)
        if (u.name == unit) return u.bytes;
    return std::nullopt;
}

// Every blank a user or the window may put between digit groups becomes a plain one.
std::string plainBlanks(std::string_view text, const NumberChars& chars) {
    std::string out(text);
    const auto replaceAll = [&out](std::string_view from) {
        if (from.empty()) return;
        for (std::size_t at = out.find(from); at != std::string::npos; at = out.find(from, at))
            out.replace(at, from.size(), " ");
    };
    for (std::string_view blank : {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89", "\t"})
        replaceAll(blank);
    if (chars.grouping != "," && chars.grouping != ".") replaceAll(chars.grouping);
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Digits split by `separator` into groups of three after a first group of one to three.
bool groupedByThree(std::string_view text, char separator) {
    std::size_t group = 0;
    bool first = true;
    for (char c : text) {
        if (c == separator) {
            if (group == 0 || group > 3 || (!first && group != 3)) return false;
            first = false;
            group = 0;
        } else if (isDigit(c)) {
            ++group;
        } else {
            return false;
        }
    }
    return group > 0 && (first || group == 3);
}

std::string withoutChar(std::string_view text, char c) {
    std::string out;
    for (char ch : text)
        if (ch != c) out += ch;
    return out;
}

struct Number {
    std::string whole;    // digits
    std::string fraction; // digits, maybe empty
};

// Blanks group digits; "," and "." group them when they stand between groups of three and are
// the locale's grouping character (or come more than once); a single other one is the decimal
// mark, and so is the last of two different ones ("1.234,5", "1,234.5").
std::optional<Number> readNumber(std::string_view text, const NumberChars& chars) {
    std::vector<std::size_t> marks;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == ',' || text[i] == '.') marks.push_back(i);

    std::string whole(text);
    std::string fraction;
    if (!marks.empty()) {
        const char last = text[marks.back()];
        const bool oneKind =
            std::all_of(marks.begin(), marks.end(), [&](std::size_t i) { return text[i] == last; });
        const std::string digitsOnly = withoutChar(text, ' ');
        const bool grouping = oneKind && groupedByThree(digitsOnly, last) &&
                              (std::string(1, last) == chars.grouping || marks.size() > 1);
        if (grouping) {
            whole = withoutChar(text, last);
        } else {
            const auto lastOfKind = std::count_if(marks.begin(), marks.end(),
                                                  [&](std::size_t i) { return text[i] == last; });
            if (lastOfKind != 1) return std::nullopt;
            const std::string_view before = text.substr(0, marks.back());
            const char other = last == ',' ? '.' : ',';
            if (!oneKind && !groupedByThree(withoutChar(before, ' '), other)) return std::nullopt;
            whole = withoutChar(before, other);
            fraction = std::string(text.substr(marks.back() + 1));
            if (fraction.empty() || fraction.find(' ') != std::string::npos) return std::nullopt;
        }
    }
    if (whole.find(' ') != std::string::npos) {
        if (!groupedByThree(whole, ' ')) return std::nullopt;
        whole = withoutChar(whole, ' ');
    }
    const auto allDigits = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), isDigit);
    };
    if (whole.empty() || !allDigits(whole) || !allDigits(fraction)) return std::nullopt;
    return Number{whole, fraction};
}

std::string grouped(std::uint64_t value, const NumberChars& chars) {
    return formatNumber(kMaskCount, value, chars);
}

std::string quoted(std::string_view text) {
    return "« " + std::string(text) + " »";
}

} // namespace

VolumeSize parseVolumeSize(std::string_view text, const NumberChars& chars) {
    const std::string plain = plainBlanks(text, chars);
    if (plain.empty()) return {0, "Indiquez la taille du volume, par exemple 64 Go."};
    if (plain.front() == '-') return {0, "Une taille ne peut pas être négative."};

    const std::size_t numberEnd = plain.find_first_not_of("0123456789 ,.");
    std::string numberText = plain.substr(0, numberEnd);
    std::string unitText = numberEnd == std::string::npos ? std::string() : plain.substr(numberEnd);
    while (!numberText.empty() && numberText.back() == ' ')
        numberText.pop_back();
    const std::string shown(plainBlanks(text, NumberChars{}));
    if (numberText.empty() || !isDigit(numberText.front()))
        return {0, quoted(shown) + " n'est pas une taille : tapez un nombre suivi d'une unité, "
                                   "par exemple 512 Mo."};

    const std::optional<Number> number = readNumber(numberText, chars);
    if (!number) return {0, "Nombre illisible : " + quoted(numberText) + "."};
    const std::optional<std::uint64_t> unit = unitBytes(unitText);
    if (!unit)
        return {0, "Unité inconnue : " + quoted(unitText) +
                       " (o, Ko, Mo, Go, To, KiB… ou kB, MB, GB, TB)."};

    const std::string whole =
        number->whole.substr(std::min(number->whole.find_first_not_of('0'), number->whole.size()));
    const std::string tooLarge = "Trop grand : le plan va jusqu'à " +
                                 grouped(kLargestVolumeBytes, chars) + " octets (256 Tio).";
    if (whole.size() > kMostDigits) return {0, tooLarge};
    const std::string fraction = number->fraction.substr(0, kMostDecimals);

    Wide wholeValue = 0;
    for (char c : whole)
        wholeValue = wholeValue * 10 + static_cast<unsigned>(c - '0');
    Wide fractionValue = 0, scale = 1;
    for (char c : fraction) {
        fractionValue = fractionValue * 10 + static_cast<unsigned>(c - '0');
        scale *= 10;
    }
    if (wholeValue > kLargestVolumeBytes) return {0, tooLarge};
    const Wide fractionBytes = fractionValue * *unit;
    if (*unit == 1 && fractionValue != 0)
        return {0, "Un nombre d'octets est entier : " + quoted(numberText) + "."};
    const Wide bytes = wholeValue * *unit + fractionBytes / scale;
    if (bytes > kLargestVolumeBytes) return {0, tooLarge};
    if (bytes == 0) return {0, "La taille doit être plus grande que zéro."};
    return {static_cast<std::uint64_t>(bytes), {}};
}

std::string tooLargeMessage(const std::string& what) {
    return what + " : au plus " + std::to_string(kLargestVolumeBytes) +
           " octets (256 Tio), le plus grand volume que le plan traite";
}

std::string volumeSizeHelp() {
    return "Une taille en octets (1 073 741 824) ou avec une unité : 512 Mo, 64 Go, 1,5 To.\n"
           "Ko, Mo, Go, To, ainsi que K, M, G, T et KiB, MiB, GiB, TiB, comptent en 1024, "
           "comme tous les chiffres de Kesp.\n"
           "kB, MB, GB, TB comptent en 1000, comme les fabricants de cartes (64 GB = 64 000 000 "
           "000 octets).";
}

} // namespace kesp::plan
