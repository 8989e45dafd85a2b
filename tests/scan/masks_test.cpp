#include "scan/masks.h"

#include <gtest/gtest.h>

namespace kesp {
namespace {

const NumberChars kC{",", "."};
const NumberChars kFrench{" ", ","};
constexpr std::uint64_t kMiB = 1024 * 1024;

struct NumberCase {
    std::string_view mask;
    std::uint64_t numerator;
    std::uint64_t denominator;
    const char* c;
    const char* french;
};

TEST(NumberMasks, BothLocales) {
    const NumberCase cases[] = {
        {kMaskCount, 0, 1, "0", "0"},
        {kMaskCount, 1, 1, "1", "1"},
        {kMaskCount, 999, 1, "999", "999"},
        {kMaskCount, 1000, 1, "1,000", "1 000"},
        {kMaskCount, 2147483648ull, 1, "2,147,483,648", "2 147 483 648"},
        // More digits than the mask has positions: grouping goes on.
        {kMaskCount, 12345678901234ull, 1, "12,345,678,901,234", "12 345 678 901 234"},
        {kMaskCount, UINT64_MAX, 1, "18,446,744,073,709,551,615", "18 446 744 073 709 551 615"},
        {kMaskMegabytesEnd, 0, kMiB, "0.", "0,"},
        {kMaskMegabytesEnd, 12 * kMiB, kMiB, "12.", "12,"},
        {kMaskMegabytesEnd, kMiB + kMiB / 2, kMiB, "1.5", "1,5"},
        {kMaskMegabytesEnd, kMiB + 5243, kMiB, "1.01", "1,01"},   // 1.0050001 rounds up
        {kMaskMegabytesEnd, kMiB + 5242, kMiB, "1.", "1,"},       // 1.0049992 rounds down
        {kMaskMegabytesEnd, 5000 * kMiB, kMiB, "5000.", "5000,"}, // never grouped
        {kMaskMegabytesRun, 0, kMiB, "0.00", "0,00"},
        {kMaskMegabytesRun, kMiB - 1, kMiB, "1.00", "1,00"},
        {kMaskMegabytesRun, 4095, kMiB, "0.00", "0,00"},
        {kMaskMegabytesRun, 3 * kMiB / 4, kMiB, "0.75", "0,75"},
        {kMaskMegabytesRun, 123456 * kMiB, kMiB, "123456.00", "123456,00"},
        {kMaskDiskSize, 0, 1, "", ""},
        {kMaskDiskSize, 7, 1, "7", "7"},
        {kMaskDiskSize, 1907729, 1, "1,907,729", "1 907 729"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.mask) + " " + std::to_string(c.numerator));
        EXPECT_EQ(formatNumber(c.mask, c.numerator, c.denominator, kC), c.c);
        EXPECT_EQ(formatNumber(c.mask, c.numerator, c.denominator, kFrench), c.french);
    }
}

TEST(NumberMasks, MultiByteGroupingCharacter) {
    const NumberChars narrowNbsp{"\xE2\x80\xAF", ","};
    EXPECT_EQ(formatNumber(kMaskCount, 1234567, narrowNbsp), "1\xE2\x80\xAF"
                                                             "234\xE2\x80\xAF"
                                                             "567");
}

TEST(NumberMasks, TableMaskBlanksAreLiteralWhateverTheLocale) {
    const NumberChars german{".", ","};
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {5, "5"},
        {1234, "1 234"},
        {123456789012ull, "123 456 789 012"},
        {1234567890123ull, "1234 567 890 123"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(formatNumber(kMaskTable, value, german), text) << value;
        EXPECT_EQ(formatNumber(kMaskTable, value, kC), text) << value;
    }
}

TEST(CharacterMasks, SubtotalField) {
    EXPECT_EQ(applyCharMask(kMaskSubtotal, std::int64_t{0}), "            0");
    EXPECT_EQ(applyCharMask(kMaskSubtotal, std::int64_t{65536}), "       65 536");
    EXPECT_EQ(applyCharMask(kMaskSubtotal, std::int64_t{1234567890}), "1 234 567 890");
    // More than ten digits: the extra ones stand in front of the field.
    EXPECT_EQ(applyCharMask(kMaskSubtotal, std::int64_t{12345678901}), "12 345 678 901");
    EXPECT_EQ(applyCharMask(kMaskSubtotal, std::int64_t{4294967296}), "4 294 967 296");
}

TEST(CharacterMasks, DetailFields) {
    EXPECT_EQ(applyCharMask(kMaskDetailNumber, "4095"), "      4 095");
    EXPECT_EQ(applyCharMask(kMaskDetailNumber, "0"), "          0");
    EXPECT_EQ(applyCharMask(kMaskDetailNumber, "1234567890"), "1234 567 890");

    EXPECT_EQ(applyCharMask(kMaskDetailName, "abc"), "abc            ");
    EXPECT_EQ(applyCharMask(kMaskDetailName, ""), std::string(15, ' '));
    EXPECT_EQ(applyCharMask(kMaskDetailName, "exactly15chars!"), "exactly15chars!");
    EXPECT_EQ(applyCharMask(kMaskDetailName, "a name longer than fifteen"),
              "a name longer than fifteen");
    // A UTF-8 accent is one position; a byte that is not UTF-8 is one position too.
    EXPECT_EQ(applyCharMask(kMaskDetailName, "caf\xC3\xA9"), "caf\xC3\xA9" + std::string(11, ' '));
    EXPECT_EQ(applyCharMask(kMaskDetailName, "\xE9t\xE9"), "\xE9t\xE9" + std::string(12, ' '));
}

} // namespace
} // namespace kesp
