// Folder entries as the drivers show them: long names only when their parts and checksum hold,
// short names with case bits and the OEM code page, entries that are never delivered.
#include <gtest/gtest.h>

#include "fat/directory_entry.h"
#include "fat/memory_volume.h"

namespace kesp::fat {
namespace {

using test::longEntries;
using test::shortEntry;
using Raw = std::vector<std::uint8_t>;

// Feeds `entries` in order; the names delivered, "|" for the end marker.
std::string decode(const std::vector<Raw>& entries, CodePage page = CodePage::Cp850) {
    EntryDecoder decoder(page);
    std::string names;
    for (const Raw& raw : entries) {
        DirectoryEntry entry;
        switch (decoder.feed(raw, entry)) {
        case EntryDecoder::Result::Entry:
            names += (names.empty() || names.back() == '|' ? "" : ",") + entry.name;
            break;
        case EntryDecoder::Result::End:
            names += "|";
            break;
        case EntryDecoder::Result::Skipped:
            break;
        }
    }
    return names;
}

std::vector<Raw> withLongName(const std::u16string& name, const char* name11) {
    auto entries = longEntries(name, name11);
    entries.push_back(shortEntry(name11, 0x20));
    return entries;
}

TEST(EntryDecoder, ShortNames) {
    struct Case {
        const char* stored;
        std::uint8_t caseBits;
        const char* shown;
    };
    for (const auto& c : {
             Case{"README  TXT", 0x00, "README.TXT"},
             Case{"README  TXT", 0x08, "readme.TXT"},
             Case{"README  TXT", 0x10, "README.txt"},
             Case{"README  TXT", 0x18, "readme.txt"},
             Case{"SUB        ", 0x08, "sub"},
             // "été" as mtools stores it: CP850 0x90 is É, lowered by the case bit.
             Case{"\x90T\x90        ", 0x08, "été"},
             Case{"\x90T\x90        ", 0x00, "ÉTÉ"},
             Case{"NO\x89L    TXT", 0x18, "noël.txt"},
             Case{"\x05"
                  "ABC    TXT",
                  0x00, "ÕABC.TXT"}, // 0x05 stands for 0xE5 (CP850: Õ)
             Case{"A B     C  ", 0x00, "A B.C"},
             // Names no driver writes still reach the walk as something it can print.
             Case{"A/B        ", 0x00, "A\uFFFDB"},
             Case{"           ", 0x00, "\uFFFD"},
         }) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(decode({shortEntry(c.stored, 0x20, 0, 0, c.caseBits)}), c.shown);
    }
    EXPECT_EQ(decode({shortEntry("\x9B"
                                 "          ",
                                 0x20)},
                     CodePage::Cp437),
              "¢");
    EXPECT_EQ(decode({shortEntry("\x9B"
                                 "          ",
                                 0x20)},
                     CodePage::Cp850),
              "ø");
}

TEST(EntryDecoder, LongNamesNeedTheirWholeSequenceAndChecksum) {
    const char* alias = "MIXEDN~1TXT";
    const std::u16string longName = u"Mixed name of more than 13 units.Txt"; // three parts
    const auto good = withLongName(longName, alias);
    EXPECT_EQ(decode(good), "Mixed name of more than 13 units.Txt");
    EXPECT_EQ(decode(withLongName(u"写真フォルダ 📷", "8A7E~1     ")), "写真フォルダ 📷");

    auto badSum = good;
    badSum.back()[0] = 'N'; // the short name no longer matches the checksum
    EXPECT_EQ(decode(badSum), "NIXEDN~1.TXT");

    auto missing = good;
    missing.erase(missing.begin() + 1); // long-name entries 3, 1
    EXPECT_EQ(decode(missing), "MIXEDN~1.TXT");

    auto swapped = good;
    std::swap(swapped[1], swapped[2]); // long-name entries 3, 1, 2
    EXPECT_EQ(decode(swapped), "MIXEDN~1.TXT");

    auto noStart = good;
    noStart.erase(noStart.begin()); // long-name entries 2, 1, none flagged as the last
    EXPECT_EQ(decode(noStart), "MIXEDN~1.TXT");

    auto deletedBetween = good;
    deletedBetween.insert(deletedBetween.end() - 1, shortEntry("\xE5OLD    TXT", 0x20));
    EXPECT_EQ(decode(deletedBetween), "MIXEDN~1.TXT");

    // An orphaned sequence does not stick to the next short entry.
    auto orphan = longEntries(longName, alias);
    orphan.push_back(shortEntry("OTHER   TXT", 0x20));
    EXPECT_EQ(decode(orphan), "OTHER.TXT");
}

TEST(EntryDecoder, ALongNameEndsAtItsFirstNul) {
    // Three pieces, "Mixed name of" + " more than 13" + " units.Txt"; a NUL put into one ends
    // the name there, as mtools shows it, whatever the later pieces still hold.
    const char* alias = "MIXEDN~1TXT";
    struct Case {
        std::size_t entry; // 0 holds piece 3, 2 holds piece 1
        std::size_t unitAt;
        const char* shown;
    };
    for (const auto& c : {Case{2, 14, "Mixed"}, Case{1, 3, "Mixed name of "},
                          Case{0, 5, "Mixed name of more than 13 u"}, Case{2, 1, "MIXEDN~1.TXT"}}) {
        auto entries = withLongName(u"Mixed name of more than 13 units.Txt", alias);
        test::put16(entries[c.entry], c.unitAt, 0);
        EXPECT_EQ(decode(entries), c.shown) << c.entry << " " << c.unitAt;
    }
}

TEST(EntryDecoder, ALongNameSpellingADotGivesWayToTheShortName) {
    // Each is a file or folder of its own: delivered, never taken for a link to a folder.
    const auto dotted = [](const std::u16string& name, const char* name11,
                           std::uint8_t attributes) {
        auto entries = longEntries(name, name11);
        entries.push_back(shortEntry(name11, attributes, 7));
        return entries;
    };
    EXPECT_EQ(decode(dotted(u".", "FOLDER~1   ", 0x10)), "FOLDER~1");
    EXPECT_EQ(decode(dotted(u"..", "DATA~1  BIN", 0x20)), "DATA~1.BIN");
    // The short name too spells a dot: a name that can still be told apart.
    EXPECT_EQ(decode(dotted(u".", ".          ", 0x10)), "\xEF\xBF\xBD");
    EXPECT_EQ(decode(dotted(u"..", "..         ", 0x10)), "\xEF\xBF\xBD");
    // A blank base with the extension "." reads ".." without any long name.
    EXPECT_EQ(decode({shortEntry("        .  ", 0x20)}), "\xEF\xBF\xBD");
}

TEST(EntryDecoder, EntriesNeverDelivered) {
    const std::vector<Raw> entries = {
        shortEntry(".          ", 0x10, 5),
        shortEntry("..         ", 0x10, 0),
        shortEntry("MY LABEL   ", 0x08),
        shortEntry("\xE5"
                   "DELETEDTXT",
                   0x20),
        shortEntry("KEPT    TXT", 0x20, 7, 1234),
        Raw(32, 0), // end of the folder
        shortEntry("AFTER   TXT", 0x20),
    };
    EXPECT_EQ(decode(entries), "KEPT.TXT|AFTER.TXT");

    EntryDecoder decoder;
    DirectoryEntry entry;
    ASSERT_EQ(decoder.feed(shortEntry("DATA    BIN", 0x21, 0x00120034, 98765), entry),
              EntryDecoder::Result::Entry);
    EXPECT_EQ(entry.size, 98765u);
    EXPECT_EQ(entry.firstCluster, 0x00120034u);
    EXPECT_FALSE(entry.isDirectory);
    ASSERT_EQ(decoder.feed(shortEntry("FOLDER     ", 0x10, 9, 4096), entry),
              EntryDecoder::Result::Entry);
    EXPECT_TRUE(entry.isDirectory);
    EXPECT_EQ(entry.size, 0u) << "a folder's size field is not its size";
}

TEST(EntryDecoder, Utf16ToUtf8) {
    EXPECT_EQ(utf8FromUtf16(u"a\u00e9\u4e2d\U0001F4F7"), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x93\xB7");
    EXPECT_EQ(utf8FromUtf16(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

} // namespace
} // namespace kesp::fat
