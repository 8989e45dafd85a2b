#include "scan/escaped_text.h"

#include <algorithm>

namespace kesp {

namespace {

bool mustEscape(EscapeFor where, unsigned char c) {
    if (where == EscapeFor::Report) return c == '\r' || c == '\n';
    return c < 0x20 || c == 0x7F;
}

} // namespace

bool needsEscape(EscapeFor where, std::string_view text) {
    return std::any_of(text.begin(), text.end(), [where](char c) {
        return mustEscape(where, static_cast<unsigned char>(c));
    });
}

std::string escapedFor(EscapeFor where, std::string_view text) {
    if (!needsEscape(where, text)) return std::string(text);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() + 8);
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (mustEscape(where, c)) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0xF];
        } else if (ch == '\\') {
            out += "\\\\";
        } else {
            out += ch;
        }
    }
    return out;
}

} // namespace kesp
