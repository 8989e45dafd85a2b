#include "scan/masks.h"

#include <algorithm>
#include <vector>

namespace kesp {

namespace {

__extension__ typedef unsigned __int128 Wide;

std::uint64_t powerOfTen(int exponent) {
    std::uint64_t p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= 10;
    return p;
}

// The integer digits laid out by the integer part of a number mask.
std::string layoutInteger(std::string_view mask, std::uint64_t value, const NumberChars& chars) {
    const auto minDigits = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), '0'));
    std::string digits = std::to_string(value);
    if (value == 0 && minDigits == 0) digits.clear();
    if (digits.size() < minDigits) digits.insert(0, minDigits - digits.size(), '0');

    if (mask.find(',') != std::string_view::npos) {
        std::string out;
        const std::size_t n = digits.size();
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0) out += chars.grouping;
            out += digits[i];
        }
        return out;
    }

    // Literal layout, from the right: a literal is written only when a digit is left for it.
    std::string reversed;
    std::size_t left = digits.size();
    for (auto it = mask.rbegin(); it != mask.rend() && left > 0; ++it) {
        if (*it == '#' || *it == '0') {
            reversed += digits[--left];
        } else {
            reversed += *it;
        }
    }
    std::string out(digits.substr(0, left));
    out.append(reversed.rbegin(), reversed.rend());
    return out;
}

// Splits text into characters: code points when it is valid UTF-8, else single bytes.
std::vector<std::string_view> splitCharacters(std::string_view text) {
    std::vector<std::string_view> out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t len = lead < 0x80           ? 1
                          : (lead >> 5) == 0x6  ? 2
                          : (lead >> 4) == 0xE  ? 3
                          : (lead >> 3) == 0x1E ? 4
                                                : 0;
        bool valid = len > 0 && i + len <= text.size();
        for (std::size_t k = 1; valid && k < len; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (!valid) {
            out.clear();
            for (std::size_t b = 0; b < text.size(); ++b)
                out.push_back(text.substr(b, 1));
            return out;
        }
        out.push_back(text.substr(i, len));
        i += len;
    }
    return out;
}

void appendCharacter(std::string& out, char c) {
    out += c;
}
void appendCharacter(std::string& out, std::string_view c) {
    out += c;
}

// `characters`: a string_view (one byte each) or a vector of code points.
template <typename Characters>
std::string applyToCharacters(std::string_view mask, const Characters& characters) {
    const bool fromLeft = !mask.empty() && mask.front() == '!';
    if (fromLeft) mask.remove_prefix(1);
    const auto positions = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), '@'));
    const std::size_t n = characters.size();
    const std::size_t extra = n > positions ? n - positions : 0;
    const std::size_t blanks = positions - (n - extra);

    std::string out;
    out.reserve(mask.size() + 4 * n);
    if (!fromLeft)
        for (std::size_t i = 0; i < extra; ++i)
            appendCharacter(out, characters[i]);
    std::size_t position = 0;
    for (char m : mask) {
        if (m != '@') {
            out += m;
        } else if (fromLeft) {
            if (position < n)
                appendCharacter(out, characters[position]);
            else
                out += ' ';
            ++position;
        } else {
            if (position < blanks)
                out += ' ';
            else
                appendCharacter(out, characters[extra + position - blanks]);
            ++position;
        }
    }
    if (fromLeft)
        for (std::size_t i = positions; i < n; ++i)
            appendCharacter(out, characters[i]);
    return out;
}

} // namespace

std::string formatNumber(std::string_view mask, std::uint64_t numerator, std::uint64_t denominator,
                         const NumberChars& chars) {
    const std::size_t dot = mask.find('.');
    const std::string_view integerMask = mask.substr(0, dot);
    const std::string_view fractionMask =
        dot == std::string_view::npos ? std::string_view{} : mask.substr(dot + 1);
    const int maxDecimals = static_cast<int>(std::count_if(
        fractionMask.begin(), fractionMask.end(), [](char c) { return c == '#' || c == '0'; }));
    const int minDecimals =
        static_cast<int>(std::count(fractionMask.begin(), fractionMask.end(), '0'));

    const std::uint64_t scale = powerOfTen(maxDecimals);
    const Wide scaled = (Wide{numerator} * scale + denominator / 2) / denominator;
    const auto integerValue = static_cast<std::uint64_t>(scaled / scale);
    const auto fractionValue = static_cast<std::uint64_t>(scaled % scale);

    std::string out = layoutInteger(integerMask, integerValue, chars);
    if (dot == std::string_view::npos) return out;

    std::string fraction;
    if (maxDecimals > 0) {
        fraction = std::to_string(fractionValue);
        fraction.insert(0, static_cast<std::size_t>(maxDecimals) - fraction.size(), '0');
    }
    while (fraction.size() > static_cast<std::size_t>(minDecimals) && fraction.back() == '0')
        fraction.pop_back();
    out += chars.decimal;
    out += fraction;
    return out;
}

std::string applyCharMask(std::string_view mask, std::string_view text) {
    // Figures are ASCII: one byte is one character, nothing to split.
    const bool ascii = std::all_of(text.begin(), text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return applyToCharacters(mask, text);
    return applyToCharacters(mask, splitCharacters(text));
}

std::string applyCharMask(std::string_view mask, std::int64_t value) {
    return applyCharMask(mask, std::string_view(std::to_string(value)));
}

} // namespace kesp
