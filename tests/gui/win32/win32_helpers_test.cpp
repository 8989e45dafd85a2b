// The Win32 front end's plain helpers: text conversion, the folder chain, the status panels,
// the command line and the dialog filters.
#include <gtest/gtest.h>

#include "gui/win32/folder_tree_win32.h"
#include "gui/win32/form1_win32.h"
#include "gui/win32/selftest.h"
#include "gui/win32/wide_text.h"
#include "gui/win32/win32_file_dialogs.h"
#include "gui/win32/win32_launcher.h"

namespace kesp {
namespace {

TEST(WideText, RoundTripsEveryPlane) {
    for (const std::string text : {"", "Taille réelle", "日本\\下", "\xF0\x9F\x98\x80 smile"}) {
        EXPECT_EQ(utf8(wide(text)), text);
    }
    EXPECT_EQ(wide("é"), std::wstring(L"\u00E9"));
    EXPECT_EQ(wide("\xF0\x9F\x98\x80").size(), 2u); // a surrogate pair
}

TEST(FolderChain, FromTheRootDown) {
    struct Case {
        std::string root, folder;
        std::vector<std::string> chain;
    };
    const Case cases[] = {
        {"c:\\", "c:\\", {"c:\\"}},
        {"c:\\", "c:\\a", {"c:\\", "c:\\a"}},
        {"c:\\", "c:\\a\\b\\", {"c:\\", "c:\\a", "c:\\a\\b"}},
        {"c:\\", "c:\\日本\\下", {"c:\\", "c:\\日本", "c:\\日本\\下"}},
        {"c:\\", "d:\\a", {"c:\\"}}, // another drive: the root alone
    };
    for (const Case& c : cases)
        EXPECT_EQ(folderChain(c.root, c.folder), c.chain) << c.folder;
    EXPECT_EQ(withSeparator("c:\\a"), "c:\\a\\");
    EXPECT_EQ(withSeparator("c:\\"), "c:\\");
}

TEST(PanelEdges, PanelsGrowWithTheirTextAndTheClockTakesTheRest) {
    // Short texts: the design widths.
    EXPECT_EQ(panelEdges({10, 10, 10, 10, 10}, 794),
              (std::vector<int>{100, 200, 300, 433, 493, 493 + 301 * 47 / 114, -1}));
    // A long cluster text pushes everything after it.
    const std::vector<int> wide4 = panelEdges({10, 10, 10, 180, 10}, 794);
    EXPECT_EQ(wide4[3], 480);
    EXPECT_EQ(wide4[4], 540);
    // Past the bar's width the clock and date keep their own widths.
    const std::vector<int> full = panelEdges({400, 400, 10, 10, 10}, 794);
    EXPECT_EQ(full[5] - full[4], 47);
}

TEST(SelftestArguments, NeedsAFolderAndAnOutputFolder) {
    const auto ok = parseSelftest({"--selftest", "Z:/tmp/tree", "Z:\\out"});
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->folder, "Z:\\tmp\\tree");
    EXPECT_EQ(ok->outdir, "Z:\\out");
    EXPECT_FALSE(parseSelftest({}));
    EXPECT_FALSE(parseSelftest({"--selftest", "Z:\\tree"}));
    EXPECT_FALSE(parseSelftest({"--selftest", "", "Z:\\out"}));
    EXPECT_FALSE(parseSelftest({"image.img"}));
}

TEST(CommandLine, QuotesAsCommandLineToArgvSplits) {
    struct Case {
        std::vector<std::string> argv;
        std::wstring line;
    };
    const Case cases[] = {
        {{"xdg-open", "c:\\a.mht"}, L"xdg-open c:\\a.mht"},
        {{"x", "a b"}, L"x \"a b\""},
        {{"x", ""}, L"x \"\""},
        {{"x", "say \"hi\""}, L"x \"say \\\"hi\\\"\""},
        {{"x", "c:\\dir with space\\"}, L"x \"c:\\dir with space\\\\\""},
        {{"x", "日本"}, L"x \u65E5\u672C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(commandLine(c.argv), c.line);
}

TEST(DialogFilters, WindowsPatternsAndDoubleNulEnd) {
    const std::wstring filter =
        filterString({{"Images disque", "*.img *.ima"}, {"Tous les fichiers", "*"}});
    EXPECT_EQ(filter, std::wstring(L"Images disque\0*.img;*.ima\0Tous les fichiers\0*.*\0\0", 49));
}

} // namespace
} // namespace kesp
