#include "fat/directory_entry.h"

#include <algorithm>

#include "fat/byte_reader.h"

namespace kesp::fat {
namespace {

constexpr std::uint8_t kDeleted = 0xE5;
constexpr std::uint8_t kLongName = 0x0F;
constexpr std::uint8_t kVolumeLabel = 0x08;
constexpr std::uint8_t kDirectory = 0x10;
constexpr std::uint8_t kLastPart = 0x40;
constexpr std::uint8_t kBaseLower = 0x08;
constexpr std::uint8_t kExtensionLower = 0x10;
constexpr const char* kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The lower case of the letters an OEM code page can hold: ASCII, Latin-1, Greek capitals of
// CP437. Other characters stay as they are, as the drivers' upcase tables leave them.
char32_t lower(char32_t c) {
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 0x20;
    if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
    return c;
}

void appendPart(std::string& out, std::span<const std::uint8_t> bytes, bool toLower,
                CodePage page) {
    std::size_t length = bytes.size();
    while (length > 0 && bytes[length - 1] == ' ')
        --length;
    for (std::size_t i = 0; i < length; ++i) {
        const char32_t c = oemToUnicode(bytes[i], page);
        appendUtf8(out, toLower ? lower(c) : c);
    }
}

} // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string shortNameText(std::span<const std::uint8_t> entry, CodePage page) {
    std::uint8_t base[8];
    std::copy_n(entry.begin(), 8, base);
    if (base[0] == 0x05) base[0] = kDeleted;
    std::string name;
    appendPart(name, base, (entry[12] & kBaseLower) != 0, page);
    const auto extension = entry.subspan(8, 3);
    if (extension[0] != ' ') {
        name += '.';
        appendPart(name, extension, (entry[12] & kExtensionLower) != 0, page);
    }
    return name;
}

std::uint8_t shortNameChecksum(std::span<const std::uint8_t> name11) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < 11; ++i)
        sum = std::uint8_t(((sum & 1) << 7) + (sum >> 1) + name11[i]);
    return sum;
}

EntryDecoder::Result EntryDecoder::feed(std::span<const std::uint8_t> raw, DirectoryEntry& out) {
    const std::uint8_t first = raw[0];
    if (first == 0x00) {
        dropLongName();
        return Result::End;
    }
    if (first == kDeleted) {
        dropLongName();
        return Result::Skipped;
    }
    const std::uint8_t attributes = raw[11];
    if ((attributes & 0x3F) == kLongName) {
        const int ordinal = first & 0x1F;
        if (ordinal == 0 || ordinal > 20 || (first & 0x80)) {
            dropLongName();
            return Result::Skipped;
        }
        if (first & kLastPart) {
            count_ = ordinal;
            checksum_ = raw[13];
        } else if (expected_ == 0 || ordinal != expected_ || raw[13] != checksum_) {
            // A part out of sequence: the whole long name is void.
            dropLongName();
            return Result::Skipped;
        }
        std::u16string& part = parts_[ordinal - 1];
        part.clear();
        ended_[ordinal - 1] = false;
        for (std::size_t at : {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30}) {
            const char16_t unit = char16_t(le16(raw, at));
            if (unit == 0x0000) {
                ended_[ordinal - 1] = true;
                break;
            }
            part += unit;
        }
        expected_ = ordinal - 1;
        if (expected_ == 0) expected_ = -1; // complete, waiting for its short entry
        return Result::Skipped;
    }

    const bool complete = expected_ == -1 && shortNameChecksum(raw.first(11)) == checksum_;
    std::u16string longName;
    // The name ends at its first NUL, as the drivers read it: whatever later parts hold is
    // padding, not more of the name.
    if (complete)
        for (int i = 0; i < count_; ++i) {
            longName += parts_[i];
            if (ended_[i]) break;
        }
    dropLongName();

    if (attributes & kVolumeLabel) return Result::Skipped;
    // Only a bare 8.3 entry is a folder's link to itself or its parent; one under a long name is
    // a file or folder of its own, whatever the names spell.
    if (!complete && first == '.' && (raw[1] == ' ' || (raw[1] == '.' && raw[2] == ' ')))
        return Result::Skipped;

    out.attributes = attributes;
    out.isDirectory = (attributes & kDirectory) != 0;
    const bool longNameUsable = !longName.empty() && longName != u"." && longName != u"..";
    out.name = complete && longNameUsable ? utf8FromUtf16(longName) : shortNameText(raw, page_);
    // Damage can spell names no driver would accept; the walk and the result files still need a
    // non-empty name other than "." and "..", without separators or NULs.
    if (out.name.empty() || out.name == "." || out.name == "..") out.name = kReplacement;
    for (std::size_t at = out.name.find_first_of(std::string_view("/\0", 2));
         at != std::string::npos; at = out.name.find_first_of(std::string_view("/\0", 2), at))
        out.name.replace(at, 1, kReplacement);
    out.firstCluster = le16(raw, 26) | le16(raw, 20) << 16;
    out.size = out.isDirectory ? 0 : le32(raw, 28);
    return Result::Entry;
}

} // namespace kesp::fat
