#pragma once
// Folder entries of 32 bytes, decoded in on-disk order: long names checked against their short
// entry, short names with their NT case bits, OEM bytes and UTF-16 turned into UTF-8.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "fat/code_page.h"

namespace kesp::fat {

inline constexpr std::size_t kEntryBytes = 32;

struct DirectoryEntry {
    std::string name; // UTF-8
    bool isDirectory = false;
    std::uint32_t size = 0; // the entry's size field; 0 for folders
    std::uint32_t firstCluster = 0;
    std::uint8_t attributes = 0;
};

// The short name of an 8.3 entry as Windows shows it without a long name: the case bits applied
// (0x08 base lower, 0x10 extension lower), a leading 0x05 read as 0xE5, UTF-8.
std::string shortNameText(std::span<const std::uint8_t> entry, CodePage page);

// The checksum a long name carries of its short entry's 11 name bytes.
std::uint8_t shortNameChecksum(std::span<const std::uint8_t> name11);

// Feeds a folder's entries one at a time, in order.
class EntryDecoder {
public:
    enum class Result { Skipped, Entry, End };

    explicit EntryDecoder(CodePage page = CodePage::Cp850) : page_(page) {}

    // `raw` is 32 bytes. Entry: `out` holds a file or folder to deliver, never named "." or ".."
    // (a long name that spells one gives way to the 8.3 name, and that to U+FFFD). Skipped: a
    // long-name part, a deleted entry, the volume label, the 8.3 entries "." and "..". End: the
    // 0x00 marker, after which nothing more belongs to the folder.
    Result feed(std::span<const std::uint8_t> raw, DirectoryEntry& out);

private:
    void dropLongName() { expected_ = 0; }

    CodePage page_;
    std::u16string parts_[20]; // by ordinal - 1; a long name has at most 20 parts
    bool ended_[20] = {};      // the part held the name's terminating NUL
    int count_ = 0;            // parts in the long name being gathered
    int expected_ = 0;         // the ordinal the next part must carry; 0 when none is gathered
    std::uint8_t checksum_ = 0;
};

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);
void appendUtf8(std::string& out, char32_t c);

} // namespace kesp::fat
