// Control bytes of names and labels, escaped for the place they are written to.
#include "scan/escaped_text.h"

#include <gtest/gtest.h>

namespace kesp {
namespace {

TEST(EscapedText, EachPlaceEscapesItsOwnBytesAndNothingElse) {
    const struct {
        EscapeFor where;
        std::string in;
        std::string out;
    } cases[] = {
        // Nothing to escape: not even "\" changes (Windows paths stay as they are).
        {EscapeFor::Table, "c:\\dir\\\xC3\xA9t\xC3\xA9 \xFF~", "c:\\dir\\\xC3\xA9t\xC3\xA9 \xFF~"},
        {EscapeFor::Table, "x\t=1+1\t999999", "x\\x09=1+1\\x09999999"},
        {EscapeFor::Table, "a\r\n=HYPERLINK()", "a\\x0D\\x0A=HYPERLINK()"},
        {EscapeFor::Table, std::string("\x00\x1F\x7F", 3), "\\x00\\x1F\\x7F"},
        {EscapeFor::Table, "b\\x09\t", "b\\\\x09\\x09"}, // read back unambiguously
        {EscapeFor::Report, "x\ty\x1B[31m", "x\ty\x1B[31m"},
        {EscapeFor::Report, "l\r\nm\\", "l\\x0D\\x0Am\\\\"},
        {EscapeFor::Terminal, "e\x1B]0;t\x07", "e\\x1B]0;t\\x07"},
        {EscapeFor::Terminal, "\xC3\xA9\x80\x9B", "\xC3\xA9\x80\x9B"}, // UTF-8 bytes pass
    };
    for (const auto& c : cases)
        EXPECT_EQ(escapedFor(c.where, c.in), c.out) << ::testing::PrintToString(c.in);
}

} // namespace
} // namespace kesp
